#pragma once
// Reading and writing the files of the explanation page, free of widgets:
// the whole-file read of a document, the plain text of a code page 932
// document, and the replacement of the mail template on disk.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace explanation {

// The largest document the viewers are given. The documents are names in
// the program's folder that anyone can replace with any file; a file past
// this is refused unread rather than read into a viewer without end.
inline constexpr qint64 kMaxDocumentBytes = qint64(16) * 1024 * 1024;

// The whole content of a document file. Raises "ﾌｧｲﾙ %s は開けません" with
// the path when the file cannot be opened or read, is not a regular file
// (a folder, a FIFO, a device) or is larger than kMaxDocumentBytes.
QByteArray readDocumentFile(const QString& path);

// Code page 932 bytes as the plain viewer shows them: CR LF, a lone CR and
// LF each end a line, and lines are joined with "\n".
QString plainDocumentText(QByteArrayView bytes);

// The text of the plain viewer as a file: lines separated by CR LF, code
// page 932 (the Shift_JIS forms of the wave dash, minus sign and the like
// written as their code page 932 counterparts). Returns false when a
// character has no code page 932 form, and then puts the index of the first
// such character in the text into *unwritableAt when it is given.
bool plainDocumentBytes(const QString& text, QByteArray* bytes, qsizetype* unwritableAt = nullptr);

// Writes text as the mail template at path, replacing the earlier file only
// once the new content is completely on disk (a temporary file beside it,
// flushed, then renamed over it); a failed save leaves the earlier file as
// it was and no temporary file behind.
// Raises "ﾌｧｲﾙ %s を作成できません" with the path when the file cannot be
// created there (missing or unwritable folder, a folder of that name, an
// existing read-only template), and "ｽﾄﾘｰﾑへの書き込みに失敗しました" when
// the text has no code page 932 form or the data cannot be written; in the
// first case the index of the first character without a form goes into
// *unwritableAt when it is given, and nothing is written.
void saveMailTemplate(const QString& path, const QString& text, qsizetype* unwritableAt = nullptr);

} // namespace explanation
