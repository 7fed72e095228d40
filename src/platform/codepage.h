#pragma once
// Code page 932 (Windows Shift_JIS) at the program's reading and writing
// boundaries: question files, documents and the mail template are stored in
// it; everything inside the program is QString.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Bytes that are not valid code page 932 become U+FFFD; never fails.
QString decodeCp932(QByteArrayView bytes);

// Encodes text; returns false (and leaves *out unspecified) when a character
// has no code page 932 form.
bool encodeCp932(QStringView text, QByteArray* out);

} // namespace platform
