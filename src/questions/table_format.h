#pragma once
// Writing the question table as a question file: a .mon file that this
// program and other readers of the format read back to the same texts, or a
// CSV file for spreadsheets. Free of widgets.

#include "questions/csv_format.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace questions {

// The question column's header after the table has been cleared; each
// append adds its set's name and "/" to the header.
inline const QString kClearedQuestionHeader = QStringLiteral("問題・・・");

// The names of the sets appended since the table was last cleared, as the
// question column's header lists them: "A/B" for A then B, without the
// cleared header's own caption and the final "/".
QString appendedSetNames(const QString& questionHeader);

// The formats the question table is saved in.
enum class SaveFormat { Mon, Csv, Tsv };

// The save dialog's entries: 1 .mon, 2 CSV.
constexpr int kMonSaveEntry = 1;

// The file's extension decides when it names a format (.mon; .csv; .tsv or
// .txt); otherwise the save dialog's entry does.
SaveFormat saveFormatFor(const QString& path, int entry);

// The set name a .mon file records: the sets appended since the last
// clear, or the file's base name when there are none.
QString setNameForSave(const QString& questionHeader, const QString& path);

// The .mon file of the pairs: header lines `N,"Quillop","MON"` and
// `0,"","<set name>"`, then records `n,"answer","question"`, code page 932,
// CR LF. Returns false when a text cannot be read back as written (a `",`
// inside a field, a line break the record rule would cut at, a character
// without a code page 932 form); *refusedRow is then the pair's number
// (from 1), or 0 for the set name. Characters in their Shift_JIS form are
// written as their code page 932 counterparts.
bool monFileBytes(const QString& setName, const QList<QuestionPair>& pairs, QByteArray* bytes, int* refusedRow);

// The CSV file of the pairs: UTF-8 with a byte-order mark, a first row of
// header words (問題, 答え), then one row per pair, fields quoted where they
// hold the separator, a double quote or a line break; CR LF.
QByteArray csvFileBytes(const QList<QuestionPair>& pairs, QChar separator);

} // namespace questions
