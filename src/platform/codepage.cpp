#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {

bool isLeadByte(quint8 b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

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

// Decodes a run of bytes holding neither 0x1A nor 0x7F. The converter marks
// what it cannot read with U+001A (SUB) or U+FFFD, and keeps a first byte
// cut off at the end back for more input; each of these becomes U+FFFD.
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
    thread_local QStringDecoder decoder = [] {
        QStringDecoder cp932("windows-31j");
        return cp932.isValid() ? std::move(cp932) : QStringDecoder("Shift_JIS");
    }();
    // 0x1A and 0x7F are characters of their own and never the second byte of
    // a pair (the converter's table reads 0x7F as SUB), so the text is
    // decoded in runs between them and they are added as they are.
    QString text;
    if (!bytes.contains('\x1A') && !bytes.contains('\x7F')) {
        text = decodeRun(decoder, bytes);
    } else {
        qsizetype start = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\x1A' || bytes[i] == '\x7F') {
                text += decodeRun(decoder, bytes.sliced(start, i - start));
                text += QChar(char16_t(bytes[i]));
                start = i + 1;
            }
        }
        text += decodeRun(decoder, bytes.sliced(start));
    }
    // The decoder allocates for the longest possible result; question tables
    // keep hundreds of thousands of these texts, so give back the spare room.
    text.squeeze();
    return text;
}

bool encodeCp932(QStringView text, QByteArray* out)
{
    QStringEncoder encoder("windows-31j", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        encoder = QStringEncoder("Shift_JIS", QStringConverter::Flag::Stateless);
    *out = encoder.encode(text);
    return !encoder.hasError();
}

} // namespace platform
