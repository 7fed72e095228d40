#include "text/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {

bool isLeadByte(quint8 b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(quint8 b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The single bytes the converter reads otherwise than Windows does. It
// swaps the control codes 0x1A, 0x1C and 0x7F (an IBM habit) and has no
// character for 0x80, 0xA0 and 0xFD–0xFF; Windows reads every control code
// as itself, 0x80 as U+0080 and the other four as the private-use
// characters U+F8F0–U+F8F3. Returns 0 for every other byte.
char16_t windowsSingleByteChar(quint8 b)
{
    switch (b) {
    case 0x1A:
    case 0x1C:
    case 0x7F:
    case 0x80:
        return b;
    case 0xA0:
        return 0xF8F0;
    case 0xFD:
    case 0xFE:
    case 0xFF:
        return char16_t(0xF8F1 + (b - 0xFD));
    default:
        return 0;
    }
}

// The byte of a character that windowsSingleByteChar() gives; -1 for any
// other character.
int windowsSingleByteOf(char16_t c)
{
    switch (c) {
    case 0x1A:
    case 0x1C:
    case 0x7F:
    case 0x80:
        return c;
    case 0xF8F0:
        return 0xA0;
    case 0xF8F1:
    case 0xF8F2:
    case 0xF8F3:
        return 0xFD + (c - 0xF8F1);
    default:
        return -1;
    }
}

// True when the text ends with the first byte of a pair whose second byte
// is missing. A byte outside the first-byte ranges always ends a character,
// and every byte of those ranges may follow a first byte as its second, so
// an odd count of such bytes at the end leaves the last one alone.
bool endsInsidePair(QByteArrayView bytes)
{
    qsizetype count = 0;
    while (count < bytes.size() && isLeadByte(quint8(bytes[bytes.size() - 1 - count])))
        ++count;
    return count % 2 == 1;
}

// The converter's name: Windows' code page 932 where the toolkit has it.
// Converters are made in place from it: a converter moved from one object
// to another no longer reports its errors.
const char* converterName()
{
    static const bool hasCp932 = QStringDecoder("windows-31j").isValid();
    return hasCp932 ? "windows-31j" : "Shift_JIS";
}

// Decodes a run of bytes holding none of the single bytes above outside a
// pair. The converter marks what it cannot read with U+001A (SUB) or
// U+FFFD, and keeps a first byte cut off at the end back for more input;
// each of these becomes U+FFFD.
QString decodeRun(QStringDecoder& decoder, QByteArrayView bytes)
{
    decoder.resetState();
    const bool cutOff = endsInsidePair(bytes);
    QString text = decoder.decode(cutOff ? bytes.chopped(1) : bytes);
    text.replace(QChar(0x1A), QChar::ReplacementCharacter);
    if (cutOff)
        text += QChar::ReplacementCharacter;
    return text;
}

} // namespace

QString decodeCp932(QByteArrayView bytes)
{
    // Opening a converter is far dearer than decoding one short text, so one
    // decoder is kept; every run starts afresh.
    thread_local QStringDecoder decoder(converterName());
    // The text is decoded in runs between the single bytes the converter
    // reads wrongly; those are added as Windows reads them. A pair's second
    // byte (0x80 and 0xA0 may be one) stays inside its run.
    QString text;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = quint8(bytes[i]);
        if (isLeadByte(b) && i + 1 < bytes.size() && isTrailByte(quint8(bytes[i + 1]))) {
            i += 2;
            continue;
        }
        if (const char16_t c = windowsSingleByteChar(b)) {
            text += decodeRun(decoder, bytes.sliced(start, i - start));
            text += QChar(c);
            start = i + 1;
        }
        ++i;
    }
    if (start == 0)
        text = decodeRun(decoder, bytes);
    else
        text += decodeRun(decoder, bytes.sliced(start));
    // The decoder allocates for the longest possible result; question tables
    // keep hundreds of thousands of these texts, so give back the spare room.
    text.squeeze();
    return text;
}

bool encodeCp932(QStringView text, QByteArray* out, qsizetype* failedAt)
{
    QStringEncoder encoder(converterName(), QStringConverter::Flag::Stateless);
    out->clear();
    bool failed = false;
    // Runs between the characters the converter writes wrongly go through
    // it; those characters are written as their single bytes.
    const auto encodeRun = [&](QStringView run) {
        out->append(encoder.encode(run));
        failed = failed || encoder.hasError();
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int single = windowsSingleByteOf(text[i].unicode());
        if (single < 0)
            continue;
        encodeRun(text.sliced(start, i - start));
        out->append(char(single));
        start = i + 1;
    }
    encodeRun(text.sliced(start));
    if (failed && failedAt)
        *failedAt = firstCharacterWithoutCp932(text);
    return !failed;
}

qsizetype firstCharacterWithoutCp932(QStringView text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        if (windowsSingleByteOf(text[i].unicode()) < 0) {
            QStringEncoder encoder(converterName(), QStringConverter::Flag::Stateless);
            // The conversion runs when its result is taken.
            const QByteArray bytes = encoder.encode(text.sliced(i, length));
            if (encoder.hasError())
                return i;
        }
        i += length;
    }
    return -1;
}

} // namespace platform
