#include "questions/mon_format.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace questions {

namespace {

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Fields 0 … count − 1 of the line by the comma rule (count at most
// kMaxCsvFields), as views into it; fields past the last are empty. One scan
// serves them all: fields after the last one asked for do not change it.
void splitCsvFields(QByteArrayView line, int count, QByteArrayView* fields)
{
    std::fill(fields, fields + count, QByteArrayView());
    const qsizetype length = line.size();
    if (length == 0 || count <= 0)
        return;

    // Positions are counted 1 … length. bounds[j] is the position of the
    // comma before field j (0 for field 0), bounds[j + 1] the position of
    // the comma after it (length + 1 while the field runs to the end).
    const char* const data = line.data();
    const auto at = [data](qsizetype position) { return data[position - 1]; };
    std::array<qsizetype, kMaxCsvFields + 1> bounds{};
    bounds[0] = 0;
    bounds[1] = length + 1;
    int field = 0;

    // The scan stops once the last field asked for has its closing comma;
    // it also stops splitting at the last field there can be.
    const int last = count - 1;
    for (qsizetype i = 1; i <= length && field <= last && field < kMaxCsvFields - 1; ++i) {
        // Straight to the next comma: no other byte matters.
        const auto* comma = static_cast<const char*>(std::memchr(data + i - 1, ',', std::size_t(length - i + 1)));
        if (!comma)
            break;
        i = comma - data + 1;
        // The field's first byte lies at or before i, so both looks stay
        // inside the line; a comma that opens its field is never a separator.
        const char first = at(bounds[field] + 1);
        const char before = i > 1 ? at(i - 1) : '\0';
        const bool quotedEnd = first == '"' && before == '"';
        const bool numberEnd = i > 1 && isAsciiDigit(first) && isAsciiDigit(before);
        if (quotedEnd || numberEnd) {
            ++field;
            bounds[field] = i;
            bounds[field + 1] = length + 1;
        }
    }

    for (int k = 0; k < count && k <= field; ++k)
        fields[k] = line.sliced(bounds[k], bounds[k + 1] - bounds[k] - 1);
}

} // namespace

QByteArray GetCsvField(QByteArrayView line, int k)
{
    return csvField(line, k).toByteArray();
}

QByteArrayView csvField(QByteArrayView line, int k)
{
    if (k < 0 || k >= kMaxCsvFields)
        return {};
    std::array<QByteArrayView, kMaxCsvFields> fields;
    splitCsvFields(line, k + 1, fields.data());
    return fields[k];
}

QByteArray StripQuotes(QByteArrayView field)
{
    return withoutQuotes(field).toByteArray();
}

QByteArrayView withoutQuotes(QByteArrayView field)
{
    if (field.isEmpty() || field.front() != '"')
        return field;
    if (field.size() == 1)
        return field.first(0);
    return field.sliced(1, field.size() - 2);
}

namespace {

// Calls line(start, length) for each line of the bytes, in one pass.
template <typename OnLine>
void scanLines(QByteArrayView bytes, OnLine line)
{
    // Line feeds and carriage returns are found with memchr, which passes
    // over the text between them many bytes at a time.
    const char* const data = bytes.data();
    const qsizetype size = bytes.size();
    const auto find = [data](char c, qsizetype from, qsizetype to) {
        const auto* found = static_cast<const char*>(std::memchr(data + from, c, std::size_t(to - from)));
        return found ? found - data : to;
    };
    qsizetype start = 0;
    while (start < size) {
        const qsizetype lineFeed = find('\n', start, size);
        // Carriage returns before the line feed: each ends a line, and the
        // one right before it ends the line together with it.
        for (qsizetype cr = find('\r', start, lineFeed); cr < lineFeed; cr = find('\r', start, lineFeed)) {
            line(start, cr - start);
            start = cr + 1;
            if (start == lineFeed)
                break;
        }
        if (lineFeed == size) {
            if (start < size)
                line(start, size - start);
            return;
        }
        if (start < lineFeed || start == 0 || data[start - 1] != '\r')
            line(start, lineFeed - start);
        start = lineFeed + 1;
    }
}

QByteArrayView partForReading(QByteArrayView line)
{
    return line.first(std::min(line.size(), kMaxLineBytes));
}

MonHeader headerFrom(QByteArrayView first, QByteArrayView second)
{
    MonHeader header;
    header.label = StripQuotes(csvField(first, 2));
    header.setName = StripQuotes(csvField(second, 2));
    header.count = GetCsvField(first, 0);
    return header;
}

// Calls record(first, last) for each record from line 2 on, the record
// taking lines first … last; lineAt(i) gives line i as the reader sees it.
// A record that does not end with a double quote takes in the lines after
// it, joined with CR LF, until the joined text ends with one (the last line
// taken in does, since CR LF after an empty line does not) or the file
// ends, and the open record is kept. An empty line between records holds
// no question.
template <typename LineAt, typename OnRecord>
void walkRecordLines(qsizetype lineCount, LineAt lineAt, OnRecord record)
{
    for (qsizetype i = 2; i < lineCount; ++i) {
        if (lineAt(i).isEmpty())
            continue;
        const qsizetype first = i;
        if (!lineAt(i).endsWith('"'))
            while (i + 1 < lineCount && !lineAt(++i).endsWith('"')) {
            }
        record(first, i);
    }
}

// Calls visit(question, answer) for each record from line 2 on, the fields
// without their quotes.
template <typename LineAt, typename Visit>
void walkRecords(qsizetype lineCount, LineAt lineAt, Visit visit)
{
    // A record over several lines is joined here; the buffer keeps its room
    // from one record to the next.
    QByteArray joined;
    walkRecordLines(lineCount, lineAt, [&](qsizetype first, qsizetype last) {
        QByteArrayView record = lineAt(first);
        if (last > first) {
            joined.resize(0);
            joined += record;
            for (qsizetype i = first + 1; i <= last; ++i) {
                joined += "\r\n";
                joined += lineAt(i);
            }
            record = joined;
        }
        std::array<QByteArrayView, 3> fields;
        splitCsvFields(record, 3, fields.data());
        visit(withoutQuotes(fields[2]), withoutQuotes(fields[1]));
    });
}

} // namespace

QList<QByteArray> splitLines(QByteArrayView fileBytes)
{
    QList<QByteArray> lines;
    scanLines(fileBytes, [&](qsizetype start, qsizetype length) {
        lines.append(fileBytes.sliced(start, length).toByteArray());
    });
    return lines;
}

QByteArray lineForReading(const QList<QByteArray>& lines, qsizetype index)
{
    if (index < 0 || index >= lines.size())
        return {};
    return partForReading(lines.at(index)).toByteArray();
}

MonLines::MonLines(const QByteArray& fileBytes)
    : bytes_(fileBytes)
{
    scanLines(bytes_, [this](qsizetype start, qsizetype length) { lines_.append(Line{start, length}); });
    lines_.squeeze();
}

QByteArrayView MonLines::lineForReading(qsizetype index) const
{
    if (index < 0 || index >= lines_.size())
        return {};
    const Line& line = lines_.at(index);
    return partForReading(QByteArrayView(bytes_).sliced(line.start, line.length));
}

MonHeader readMonHeader(const QList<QByteArray>& lines)
{
    return headerFrom(lineForReading(lines, 0), lineForReading(lines, 1));
}

MonHeader readMonHeader(const MonLines& lines)
{
    return headerFrom(lines.lineForReading(0), lines.lineForReading(1));
}

QList<MonRecord> assembleRecords(const QList<QByteArray>& lines)
{
    QList<MonRecord> records;
    walkRecords(
        lines.size(), [&lines](qsizetype i) { return partForReading(lines.at(i)); },
        [&records](QByteArrayView question, QByteArrayView answer) {
            records.append(MonRecord{question.toByteArray(), answer.toByteArray()});
        });
    return records;
}

void forEachRecord(const MonLines& lines, const MonRecordVisitor& visit)
{
    walkRecords(
        lines.size(), [&lines](qsizetype i) { return lines.lineForReading(i); }, visit);
}

qsizetype countRecords(const MonLines& lines)
{
    qsizetype count = 0;
    walkRecordLines(
        lines.size(), [&lines](qsizetype i) { return lines.lineForReading(i); },
        [&count](qsizetype, qsizetype) { ++count; });
    return count;
}

QString monDisplayPath(const QString& path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype extensionStart = dot >= nameStart ? dot : path.size();
    return path.left(extensionStart) + QStringLiteral(".mon");
}

} // namespace questions
