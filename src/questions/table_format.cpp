#include "questions/table_format.h"

#include "text/codepage.h"
#include "text/cp932_forms.h"
#include "text/pad_chars.h"
#include "questions/mon_format.h"

#include <QFileInfo>

namespace questions {

namespace {

// The text in code page 932, when it reads back unchanged.
bool cp932Bytes(const QString& text, QByteArray* bytes)
{
    return platform::encodeCp932(text, bytes) && platform::decodeCp932(*bytes) == text;
}

QByteArray quoted(const QByteArray& text)
{
    return '"' + text + '"';
}

// The record of one pair, when the .mon reader gives back exactly these texts.
bool monRecord(int number, const QString& question, const QString& answer, QByteArray* record)
{
    QByteArray questionBytes;
    QByteArray answerBytes;
    if (!cp932Bytes(platform::withCp932Forms(question), &questionBytes)
        || !cp932Bytes(platform::withCp932Forms(answer), &answerBytes))
        return false;
    *record = QByteArray::number(number) + ',' + quoted(answerBytes) + ',' + quoted(questionBytes);
    // Read it back as a record after two header lines.
    const QList<QByteArray> lines = QList<QByteArray>{{}, {}} + splitLines(*record);
    const QList<MonRecord> records = assembleRecords(lines);
    return records.size() == 1 && records[0].question == questionBytes && records[0].answer == answerBytes;
}

// The two header lines, when the reader gives back the set name.
bool monHeader(int count, const QString& setName, QByteArray* header)
{
    QByteArray nameBytes;
    if (!cp932Bytes(platform::withCp932Forms(setName), &nameBytes))
        return false;
    *header = QByteArray::number(count) + ",\"Quillop\",\"MON\"\r\n0,\"\"," + quoted(nameBytes) + "\r\n";
    const QList<QByteArray> lines = splitLines(*header);
    return lines.size() == 2 && readMonHeader(lines).setName == nameBytes;
}

QString csvField(const QString& text, QChar separator)
{
    if (!text.contains(separator) && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QString appendedSetNames(const QString& questionHeader)
{
    QString names = questionHeader;
    if (names.startsWith(kClearedQuestionHeader))
        names.remove(0, kClearedQuestionHeader.size());
    if (names.endsWith(u'/'))
        names.chop(1);
    return names;
}

bool monFileBytes(const QString& setName, const QList<QuestionPair>& pairs, QByteArray* bytes, int* refusedRow)
{
    QByteArray out;
    if (!monHeader(int(pairs.size()), setName, &out)) {
        *refusedRow = 0;
        return false;
    }
    QByteArray record;
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        const int number = int(i) + 1;
        if (!monRecord(number, pairs[i].question, pairs[i].answer, &record)) {
            *refusedRow = number;
            return false;
        }
        out += record + "\r\n";
    }
    *bytes = out;
    return true;
}

QByteArray csvFileBytes(const QList<QuestionPair>& pairs, QChar separator)
{
    QString text = QStringLiteral("問題") + separator + QStringLiteral("答え\r\n");
    // The pad characters (code page 932's bytes without a character, such
    // as the pad byte ending a .5tq question) are left out: in UTF-8 they
    // would show as boxes in a spreadsheet.
    for (const QuestionPair& pair : pairs) {
        text += csvField(platform::withoutPadChars(pair.question), separator) + separator
            + csvField(platform::withoutPadChars(pair.answer), separator) + QStringLiteral("\r\n");
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

SaveFormat saveFormatFor(const QString& path, int entry)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"mon")
        return SaveFormat::Mon;
    if (suffix == u"csv")
        return SaveFormat::Csv;
    if (suffix == u"tsv" || suffix == u"txt")
        return SaveFormat::Tsv;
    return entry == kMonSaveEntry ? SaveFormat::Mon : SaveFormat::Csv;
}

QString setNameForSave(const QString& questionHeader, const QString& path)
{
    const QString names = appendedSetNames(questionHeader);
    return names.isEmpty() ? QFileInfo(path).completeBaseName() : names;
}

} // namespace questions
