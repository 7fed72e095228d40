// Reads the input as a CSV/TSV question file the way opening and appending
// do (encoding, header lines, fields, HTML fields), then writes the
// questions read back as CSV and as .mon and checks that each reads back to
// the same questions.

#include "text/codepage.h"
#include "text/cp932_forms.h"
#include "text/pad_chars.h"
#include "questions/csv_format.h"
#include "questions/mon_format.h"
#include "questions/table_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void writeAndReadBack(const QList<questions::QuestionPair>& pairs, QChar separator)
{
    const QByteArray csv = questions::csvFileBytes(pairs, separator);
    const questions::CsvSet again = questions::readCsvQuestions(questions::decodeQuestionText(csv), separator);
    // As the CSV holds them: without pad characters. A row whose two texts
    // are empty or blank holds no question when it is read again.
    QList<questions::QuestionPair> written;
    for (const questions::QuestionPair& pair : pairs) {
        const questions::QuestionPair kept{platform::withoutPadChars(pair.question), platform::withoutPadChars(pair.answer)};
        if (!kept.question.trimmed().isEmpty() || !kept.answer.trimmed().isEmpty())
            written.append(kept);
    }
    check(again.badLine == 0 && again.questions == written);

    QByteArray mon;
    int refusedRow = -1;
    if (!questions::monFileBytes(QStringLiteral("set"), pairs, &mon, &refusedRow)) {
        check(refusedRow >= 1 && refusedRow <= pairs.size());
        return;
    }
    const QList<questions::MonRecord> records = questions::assembleRecords(questions::splitLines(mon));
    check(records.size() == pairs.size());
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        check(platform::decodeCp932(records[i].question) == platform::withCp932Forms(pairs[i].question));
        check(platform::decodeCp932(records[i].answer) == platform::withCp932Forms(pairs[i].answer));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = questions::decodeQuestionText(bytes);

    for (const QChar separator : {QChar(u','), QChar(u'\t')}) {
        const questions::CsvSet set = questions::readCsvQuestions(text, separator);
        check(set.badLine >= 0);
        if (set.badLine == 0)
            writeAndReadBack(set.questions, set.separator);
    }
    (void)questions::plainTextOfHtmlField(text);
    return 0;
}
