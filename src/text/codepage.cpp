#include "text/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

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

// The converter's reading of any bytes, corrected as above.
QString decodeWithConverter(QByteArrayView bytes)
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

// What the converter reads each character of one or two bytes as, taken
// from the converter itself (corrections included), so that reading bytes
// through this table gives exactly what decodeWithConverter() gives. The
// converter keeps no state from one character to the next, so text made
// only of characters the table holds reads as the characters one by one.
// It holds every single byte that is a character by itself (not a first
// byte of a pair) and every pair that is one character; what is not a
// character (kNone) is left to the converter, which decides how much of it
// becomes U+FFFD.
constexpr char16_t kNone = 0xFFFF; // a noncharacter: code page 932 has no byte for it
constexpr int kLeadBytes = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);
constexpr int kTrailBytes = 0xFC - 0x40 + 1;

struct CharacterTable {
    std::array<char16_t, 256> single;
    std::array<char16_t, kLeadBytes * kTrailBytes> pair;
};

int pairIndex(quint8 lead, quint8 trail)
{
    const int leadIndex = lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
    return leadIndex * kTrailBytes + (trail - 0x40);
}

CharacterTable makeCharacterTable()
{
    CharacterTable table;
    table.single.fill(kNone);
    table.pair.fill(kNone);
    const auto oneCharacter = [](QStringView text) {
        return text.size() == 1 && text[0] != QChar::ReplacementCharacter ? text[0].unicode() : kNone;
    };
    for (int b = 0; b < 256; ++b) {
        if (isLeadByte(quint8(b)))
            continue;
        const char byte = char(b);
        table.single[b] = oneCharacter(decodeWithConverter(QByteArrayView(&byte, 1)));
    }
    // Every pair in one pass of the converter, each ended by a line feed,
    // which no pair's reading holds; should the readings not line up with
    // the pairs, the pairs after that are left to the converter.
    QByteArray pairs;
    pairs.reserve(qsizetype(kLeadBytes) * kTrailBytes * 3);
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(quint8(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            pairs.append(char(lead)).append(char(trail)).append('\n');
    }
    const QString text = decodeWithConverter(pairs);
    qsizetype pos = 0;
    for (qsizetype k = 0; k + 2 < pairs.size(); k += 3) {
        const qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0)
            break;
        const auto lead = quint8(pairs[k]);
        const auto trail = quint8(pairs[k + 1]);
        if (isTrailByte(trail))
            table.pair[pairIndex(lead, trail)] = oneCharacter(QStringView(text).sliced(pos, end - pos));
        pos = end + 1;
    }
    return table;
}

const CharacterTable& characterTable()
{
    static const CharacterTable table = makeCharacterTable();
    return table;
}

// Calls put(c) for each character of the bytes, read through the table;
// false, at the first byte that the table does not read, when the bytes
// hold something that is not a character.
template <typename Put>
bool readByTable(const CharacterTable& table, QByteArrayView bytes, Put put)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const uchar b = p[i];
        char16_t c;
        if (isLeadByte(b)) {
            if (i + 1 == size || !isTrailByte(p[i + 1]))
                return false;
            c = table.pair[pairIndex(b, p[i + 1])];
            i += 2;
        } else {
            c = table.single[b];
            ++i;
        }
        if (c == kNone)
            return false;
        put(c);
    }
    return true;
}

} // namespace

QString decodeCp932(QByteArrayView bytes)
{
    // Text of characters only (nearly all text) is read through the table,
    // counted first so that the string is made at its exact size; anything
    // else goes to the converter whole, which reads it as it always has.
    const CharacterTable& table = characterTable();
    qsizetype length = 0;
    if (!readByTable(table, bytes, [&length](char16_t) { ++length; }))
        return decodeWithConverter(bytes);
    QString text(length, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    readByTable(table, bytes, [&out](char16_t c) { *out++ = c; });
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
