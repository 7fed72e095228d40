#pragma once
// Code page 932 (Windows Shift_JIS) at the program's reading and writing
// boundaries: question files, documents and the mail template are stored in
// it; everything inside the program is QString. Bytes are read as Windows
// reads them: every control code as itself, 0x80 as U+0080, and the single
// bytes 0xA0 and 0xFD–0xFF, which have no character of their own, as the
// private-use characters U+F8F0–U+F8F3 (see pad_chars.h for how they are
// drawn). Whatever decodes is written back as the same bytes, except that
// the duplicate codes of the NEC and IBM rows are written in Windows'
// preferred form.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Bytes that are not valid code page 932 become U+FFFD; never fails.
QString decodeCp932(QByteArrayView bytes);

// Encodes text; returns false (and leaves *out unspecified) when a character
// has no code page 932 form, and then puts the index of the first such
// character into *failedAt when it is given.
bool encodeCp932(QStringView text, QByteArray* out, qsizetype* failedAt = nullptr);

// The index of the first character (a surrogate pair counts as one
// character, found at its first half) that has no code page 932 form; -1
// when every character has one.
qsizetype firstCharacterWithoutCp932(QStringView text);

} // namespace platform
