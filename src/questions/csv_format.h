#pragma once
// Reading of question sets kept as comma- or tab-separated text: files saved
// by spreadsheets and the plain-text note exports of flashcard programs.
// Column 1 is the question, column 2 the answer. Free of widgets; the window
// reads the file and shows what this returns.

#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>

#include <limits>

namespace questions {

// The text of a question file as people's files come. A byte-order mark
// names the encoding: UTF-8, or UTF-16 little- or big-endian (a
// spreadsheet's "Unicode text"). Without one the bytes are UTF-8, with
// U+FFFD for the odd invalid byte, unless they read better as code page 932
// (what spreadsheets on Japanese desktops save; see csv_format.cpp for
// "better"). Line ends are left as they are: the reader takes CR LF, LF and
// CR in the decoded text.
QString decodeQuestionText(QByteArrayView bytes);

// The separator a file uses unless a "#separator:" line says otherwise:
// comma for ".csv", tab for anything else (".tsv", ".txt"). The encoding
// does not change it: a spreadsheet's UTF-16 "Unicode text" is a
// tab-separated ".txt", and LibreOffice writes a UTF-16 ".csv" with the
// comma its CSV filter always starts from.
QChar defaultCsvSeparator(const QString& path);

struct QuestionPair {
    QString question;
    QString answer;
    bool operator==(const QuestionPair&) const = default;
};

struct CsvSet {
    QList<QuestionPair> questions;
    QChar separator;   // the separator in effect after the header lines
    int badLine = 0;   // > 0: the physical line (from 1) that cannot be read
    bool tooMany = false; // more questions than asked for: reading stopped there
};

// The questions of the text, in order. Fields follow RFC 4180: a field in
// double quotes may hold the separator, line breaks (kept as CR LF) and
// doubled quotes. Header lines are the plain-text note export's own
// "#key:value" lines at the top of the file (keys compared trimmed and in
// lower case): "#separator:" (comma, semicolon, tab, space, pipe, colon or
// the character), "#html:true|false", "#guid/#notetype/#deck/#tags column:N"
// (columns that are not fields), and "#tags:", "#deck:", "#notetype:",
// "#columns:", "#match scope:", "#if matches:" (read past). The first other
// line, "#" or not, is the first record. A row whose fields are all empty or
// blank holds no question; a first row of header words (問題/答え,
// question/answer, …) is not a question. A quote still open at the end
// names the line it opened on; a row with fewer than two fields names its
// first line. Reading stops, with tooMany set, at a question beyond
// `maxQuestions`.
CsvSet readCsvQuestions(const QString& text, QChar defaultSeparator,
                        qsizetype maxQuestions = std::numeric_limits<qsizetype>::max());

// A field of an HTML export as the question table shows it: tags removed
// (<br> and the ends of <div> and <p> blocks become line breaks), entities
// decoded, [sound:…] references dropped, white space trimmed at both ends.
QString plainTextOfHtmlField(const QString& html);

// "TSV" for tab-separated sets, "CSV" for every other separator.
QString csvLabel(QChar separator);

} // namespace questions
