// CSV and TSV question sets: a file takes a list row like a .mon file does
// (label "CSV" or "TSV", its base name as set name, its question count, its
// path) and is read afresh from disk at every append of its row.

#include "app/Un_subri1.h"

#include "platform/StringGrid.h"
#include "platform/errors.h"
#include "questions/csv_format.h"
#include "questions/question_file_bytes.h"

#include <QFileInfo>

namespace {

// The questions of the file; raises "CSV %s の %d 行目を読めません" naming
// the first line that cannot be read.
questions::CsvSet readCsvFile(const QString& path)
{
    const QString text = questions::decodeQuestionText(questions::readQuestionFileBytes(path));
    questions::CsvSet set = questions::readCsvQuestions(text, questions::defaultCsvSeparator(path));
    if (set.badLine > 0)
        throw platform::Error(QStringLiteral("CSV %1 の %2 行目を読めません").arg(path).arg(set.badLine));
    return set;
}

} // namespace

void TForm1::csvOpen(const QString& path)
{
    // Read first: a file that cannot be read changes nothing, not even the
    // row the next text file takes.
    const questions::CsvSet set = readCsvFile(path);
    ++textFileCount;
    const int row = textListRow();
    StringGrid1->setCell(0, 0, QStringLiteral("Quillop"));
    StringGrid2->setCell(3, 0, QStringLiteral("Quillopｼﾞｬﾝﾙ"));
    StringGrid1->setCell(3, row, path);
    setFieldText(Edit3, path);
    StringGrid1->setCell(2, row, QString::number(set.questions.size()));
    StringGrid1->setCell(0, row, questions::csvLabel(set.separator));
    StringGrid1->setCell(1, row, QFileInfo(path).completeBaseName());
    csvListRows[row] = true;
}

questions::CsvSet TForm1::csvReload(int row)
{
    return readCsvFile(StringGrid1->cell(3, row));
}

void TForm1::csvAppend(const questions::CsvSet& set, const QString& setName)
{
    for (const questions::QuestionPair& pair : set.questions)
        appendQuestionRow(pair.question, pair.answer, setName);
}
