#pragma once
// The pad characters U+F8F0–U+F8F3: what code page 932 reads from the
// single bytes 0xA0 and 0xFD–0xFF, which stand for no character. A question
// of a .5tq file whose text fills its field but for one byte ends in one
// (the pad byte of the field). They are kept in every text, so that the
// bytes are written back as read, but they are drawn as nothing: no glyph,
// no box, and no width.

#include <QString>

class QTextDocument;

namespace platform {

bool isPadChar(QChar c);
bool containsPadChar(QStringView text);
QString withoutPadChars(QString text);

// Draws the document's pad characters as nothing (a layout format over
// them, transparent and without width); the document's text keeps them.
void hidePadChars(QTextDocument* document);

} // namespace platform
