#include "questions/mon_format.h"

#include <algorithm>
#include <array>

namespace questions {

namespace {

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

QByteArray GetCsvField(QByteArrayView line, int k)
{
    return csvField(line, k).toByteArray();
}

QByteArrayView csvField(QByteArrayView line, int k)
{
    const qsizetype length = line.size();
    if (length == 0 || k < 0 || k >= kMaxCsvFields)
        return {};

    // Positions are counted 1 … length. bounds[j] is the position of the
    // comma before field j (0 for field 0), bounds[j + 1] the position of
    // the comma after it (length + 1 while the field runs to the end).
    const auto at = [&line](qsizetype position) { return line[position - 1]; };
    std::array<qsizetype, kMaxCsvFields + 1> bounds{};
    bounds[0] = 0;
    bounds[1] = length + 1;
    int field = 0;

    // Fields after k do not change field k, so the scan stops once field k
    // has its closing comma; it also stops splitting at the last field.
    for (qsizetype i = 1; i <= length && field <= k && field < kMaxCsvFields - 1; ++i) {
        if (at(i) != ',')
            continue;
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

    if (k > field)
        return {};
    return line.sliced(bounds[k], bounds[k + 1] - bounds[k] - 1);
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
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        line(start, i - start);
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        line(start, size - start);
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

// Calls visit(question, answer) for each record from line 2 on;
// lineAt(i) gives line i as the reader sees it.
template <typename LineAt, typename Visit>
void walkRecords(qsizetype lineCount, LineAt lineAt, Visit visit)
{
    // A record over several lines is joined here; the buffer keeps its room
    // from one record to the next.
    QByteArray joined;
    for (qsizetype i = 2; i < lineCount; ++i) {
        QByteArrayView record = lineAt(i);
        // An empty line between records holds no question.
        if (record.isEmpty())
            continue;
        // A quoted text may span lines: join until the text closes with a
        // double quote or the file ends (then the open record is kept).
        if (!record.endsWith('"') && i + 1 < lineCount) {
            joined.resize(0);
            joined += record;
            while (!joined.endsWith('"') && i + 1 < lineCount) {
                ++i;
                joined += "\r\n";
                joined += lineAt(i);
            }
            record = joined;
        }
        visit(withoutQuotes(csvField(record, 2)), withoutQuotes(csvField(record, 1)));
    }
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
    walkRecords(
        lines.size(), [&lines](qsizetype i) { return lines.lineForReading(i); },
        [&count](QByteArrayView, QByteArrayView) { ++count; });
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
