#include "questions/mon_format.h"

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
    return line.sliced(bounds[k], bounds[k + 1] - bounds[k] - 1).toByteArray();
}

QByteArray StripQuotes(QByteArrayView field)
{
    if (field.isEmpty() || field.front() != '"')
        return field.toByteArray();
    if (field.size() == 1)
        return {};
    return field.sliced(1, field.size() - 2).toByteArray();
}

QList<QByteArray> splitLines(QByteArrayView fileBytes)
{
    QList<QByteArray> lines;
    const qsizetype size = fileBytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = fileBytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(fileBytes.sliced(start, i - start).toByteArray());
        if (c == '\r' && i + 1 < size && fileBytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(fileBytes.sliced(start).toByteArray());
    return lines;
}

QByteArray lineForReading(const QList<QByteArray>& lines, qsizetype index)
{
    if (index < 0 || index >= lines.size())
        return {};
    return lines.at(index).left(kMaxLineBytes);
}

MonHeader readMonHeader(const QList<QByteArray>& lines)
{
    const QByteArray first = lineForReading(lines, 0);
    const QByteArray second = lineForReading(lines, 1);
    MonHeader header;
    header.label = StripQuotes(GetCsvField(first, 2));
    header.setName = StripQuotes(GetCsvField(second, 2));
    header.count = GetCsvField(first, 0);
    return header;
}

QList<MonRecord> assembleRecords(const QList<QByteArray>& lines)
{
    QList<MonRecord> records;
    const qsizetype lineCount = lines.size();
    for (qsizetype i = 2; i < lineCount; ++i) {
        QByteArray record = lineForReading(lines, i);
        // An empty line between records holds no question.
        if (record.isEmpty())
            continue;
        // A quoted text may span lines: join until the text closes with a
        // double quote or the file ends (then the open record is kept).
        while (!record.endsWith('"') && i + 1 < lineCount) {
            ++i;
            record += "\r\n";
            record += lineForReading(lines, i);
        }
        records.append(MonRecord{StripQuotes(GetCsvField(record, 2)),
                                 StripQuotes(GetCsvField(record, 1))});
    }
    return records;
}

QString monDisplayPath(const QString& path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype extensionStart = dot >= nameStart ? dot : path.size();
    return path.left(extensionStart) + QStringLiteral(".mon");
}

} // namespace questions
