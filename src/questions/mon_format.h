#pragma once
// Reading of the .mon question files of Quillop: comma-separated Shift_JIS
// text, two header lines, then one record per question. Everything here
// works on raw bytes; the caller decodes the results from code page 932.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>

namespace questions {

// The most fields a line or record is split into; the last one runs to the
// end of the text, whatever commas it holds.
inline constexpr int kMaxCsvFields = 20;

// The most bytes of one line that the reader sees; the rest of a longer
// line is ignored.
inline constexpr qsizetype kMaxLineBytes = 4096;

// The largest .mon file the window reads: about a million questions of
// usual length. A file is read whole and kept in the line store, so memory
// and time grow with its size (opening and appending a file of this size
// takes some 2 s and 650 MiB with its questions in the table); anything
// larger is no question file and is refused with the open error, unread.
inline constexpr qint64 kMaxMonFileBytes = qint64(128) * 1024 * 1024;

// Field k (from 0) of a line or record, with its quotes, without the commas
// around it. A comma separates fields only when the field it stands in
// begins with a double quote and the comma follows a double quote, or the
// field begins with a digit and the comma follows a digit. Empty when the
// line has no field k.
QByteArray GetCsvField(QByteArrayView line, int k);
// The same field as a view into the line, without copying it.
QByteArrayView csvField(QByteArrayView line, int k);

// The field without its first and last byte when it begins with a double
// quote (the last byte goes whatever it is); otherwise the field as it is.
QByteArray StripQuotes(QByteArrayView field);
// The same as a view into the field.
QByteArrayView withoutQuotes(QByteArrayView field);

// The file's lines: CR LF, a lone LF and a lone CR each end a line; the
// empty text after the last line break is not a line.
QList<QByteArray> splitLines(QByteArrayView fileBytes);

// Line `index` as the reader sees it: at most kMaxLineBytes bytes, empty
// when there is no such line.
QByteArray lineForReading(const QList<QByteArray>& lines, qsizetype index);

// The line store: a text file's bytes kept whole as read, with where each of
// its lines lies (split as by splitLines, in one pass, without copying a
// line). The bytes are shared, not copied, with whoever else holds them.
class MonLines {
public:
    MonLines() = default;
    explicit MonLines(const QByteArray& fileBytes);

    qsizetype size() const { return lines_.size(); }
    // Line `index` as the reader sees it: at most kMaxLineBytes bytes, empty
    // when there is no such line. Valid while the store lives.
    QByteArrayView lineForReading(qsizetype index) const;

private:
    struct Line {
        qsizetype start;
        qsizetype length;
    };
    QByteArray bytes_;
    QList<Line> lines_;
};

// The header fields of a .mon file, raw bytes.
struct MonHeader {
    QByteArray label;    // line 0, field 2, without quotes
    QByteArray setName;  // line 1, field 2, without quotes
    QByteArray count;    // line 0, field 0, as it stands (quotes kept)
};

// Header fields from the first two lines; missing lines give empty fields.
MonHeader readMonHeader(const QList<QByteArray>& lines);
MonHeader readMonHeader(const MonLines& lines);

// One question of a .mon file, raw bytes.
struct MonRecord {
    QByteArray question;  // field 2 without quotes; may hold CR LF
    QByteArray answer;    // field 1 without quotes
};

// The questions from line 2 on, in file order. A record starts at a line
// and takes in the following lines, joined with CR LF, until its text ends
// with a double quote. A record still open at the last line is kept; an
// empty line where a record would start is skipped.
QList<MonRecord> assembleRecords(const QList<QByteArray>& lines);

// The same records from the line store, handed one at a time to `visit`
// (question and answer without quotes), so nothing is kept per record. The
// views are valid only during the call.
using MonRecordVisitor = std::function<void(QByteArrayView question, QByteArrayView answer)>;
void forEachRecord(const MonLines& lines, const MonRecordVisitor& visit);

// The number of records forEachRecord hands on, counted without copying.
qsizetype countRecords(const MonLines& lines);

// The path with the extension of its file name replaced by ".mon"; a file
// name without "." gets ".mon" appended.
QString monDisplayPath(const QString& path);

} // namespace questions
