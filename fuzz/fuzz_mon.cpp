// Reads the input as a .mon question file the way opening and appending do:
// the line store, the header fields, the records joined across lines, and
// the comma-field rule on every field index of every line and record.

#include "text/codepage.h"
#include "questions/mon_format.h"

#include <cstddef>
#include <cstdint>

namespace {

// Two past the fields a line can have, so that "no such field" is reached.
constexpr int kFieldIndexes = questions::kMaxCsvFields + 2;

void readEveryField(QByteArrayView text)
{
    for (int k = 0; k < kFieldIndexes; ++k)
        (void)questions::StripQuotes(questions::GetCsvField(text, k));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // The line store shows the whole text.
    (void)platform::decodeCp932(bytes);
    const QList<QByteArray> lines = questions::splitLines(bytes);

    const questions::MonHeader header = questions::readMonHeader(lines);
    (void)platform::decodeCp932(header.label);
    (void)platform::decodeCp932(header.setName);
    (void)platform::decodeCp932(header.count);

    for (const questions::MonRecord& record : questions::assembleRecords(lines)) {
        (void)platform::decodeCp932(record.question);
        (void)platform::decodeCp932(record.answer);
    }

    // The line store the window reads, and its records one at a time.
    const questions::MonLines store(bytes.toByteArray());
    (void)questions::readMonHeader(store);
    for (qsizetype i = -1; i <= store.size(); ++i)
        (void)store.lineForReading(i);
    questions::forEachRecord(store, [](QByteArrayView question, QByteArrayView answer) {
        (void)platform::decodeCp932(question);
        (void)platform::decodeCp932(answer);
    });

    for (qsizetype i = 0; i < lines.size(); ++i)
        readEveryField(questions::lineForReading(lines, i));
    // A record may be longer than a line: the rule on the whole text too.
    readEveryField(bytes);
    (void)questions::GetCsvField(bytes, -1);

    (void)questions::monDisplayPath(QString::fromLatin1(bytes.first(qMin(bytes.size(), 256))));
    return 0;
}
