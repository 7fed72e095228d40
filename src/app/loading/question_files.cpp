// Showing what the readers read: the binary .5tq file (eight genres in the
// list, records read from the held file at every append) and the line
// store of the .mon text files.

#include "app/Un_subri1.h"

#include "widgets/StringGrid.h"
#include "text/codepage.h"
#include "platform/errors.h"
#include "questions/file_types.h"
#include "questions/question_file_reader.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using platform::decodeCp932;

namespace {
// The question-set list has eight data rows.
constexpr int kListRows = 8;
constexpr int kQuestionRecordOffset = 2048;
const char* const kLineStoreProperty = "lines";
// The bytes the line store's text box was last given by a load (shared
// with the line store, not copied).
const char* const kShownBytesProperty = "shownBytes";
} // namespace

// ---- Binary question files -------------------------------------------------

void TForm1::showBinaryFile(questions::QuestionFile file)
{
    StringGrid1->setCell(0, 0, QStringLiteral("5TQ[.5tq]"));
    StringGrid2->setCell(3, 0, QStringLiteral("5TQｼﾞｬﾝﾙ"));
    currentBinaryFile = std::move(file.binary); // the file held before is closed
    janlu_list();
    tusitu(kQuestionRecordOffset);
    // Every list row now names a genre of this file.
    for (int row = 1; row <= kListRows; ++row)
        listRowEntries[row] = questions::kBinaryTypeEntry;
}

void TForm1::janlu_list()
{
    StringGrid1->setCell(1, 0, QStringLiteral("ジャンル名"));
    StringGrid1->setCell(2, 0, QStringLiteral("問題数"));
    StringGrid1->setCell(3, 0, QStringLiteral("始No"));
    StringGrid1->setCell(4, 0, QStringLiteral("終No"));
    int sum = 0;
    for (int g = 1; g <= kListRows; ++g) {
        const questions::TqGenre genre =
            currentBinaryFile ? currentBinaryFile->genre(g) : questions::TqGenre{};
        StringGrid1->setCell(0, g, QStringLiteral("ジャンル") + QString::number(g));
        StringGrid1->setCell(1, g, decodeCp932(genre.name));
        StringGrid1->setCell(2, g, QString::number(genre.count));
        StringGrid1->setCell(3, g, QString::number(sum + 1));
        sum += genre.count;
        StringGrid1->setCell(4, g, QString::number(sum));
    }
}

namespace {

// The question and answer texts of the record at `offset` of the held file
// (empty when no file is held), in one positioned read.
void readQuestionTexts(const questions::TqFile* file, qint64 offset, QString* question, QString* answer)
{
    questions::TqQuestionTexts texts;
    if (file)
        file->readQuestion(offset, &texts);
    *question = decodeCp932(texts.question());
    *answer = decodeCp932(texts.answer());
}

} // namespace

void TForm1::tusitu(qint64 offset)
{
    QString question;
    QString answer;
    readQuestionTexts(currentBinaryFile.get(), offset, &question, &answer);
    setFieldText(Edit1, question);
    setFieldText(Edit2, answer);
}

void TForm1::forEachGenreQuestion(int row, const QuestionVisitor& visit)
{
    const int first = platform::StrToInt(StringGrid1->cell(3, row));
    const int last = platform::StrToInt(StringGrid1->cell(4, row));
    // Every record is read and handed on in order; the holders Edit1/Edit2
    // take the record read last. Nothing can look at them while the loop
    // runs (no events, no change handlers), and laying out each text in the
    // two fields would cost many times the reading, so they are written once.
    QString question;
    QString answer;
    if (first <= last)
        reserveQuestionRows(qsizetype(last) - first + 1);
    for (qint64 n = first; n <= last; ++n) {
        readQuestionTexts(currentBinaryFile.get(), questions::tqQuestionOffset(int(n)), &question, &answer);
        visit(question, answer);
    }
    if (first <= last) {
        setFieldText(Edit1, question);
        setFieldText(Edit2, answer);
    }
}

// ---- The line store of text question files ----------------------------------

void TForm1::showInLineStore(const questions::QuestionFile& file)
{
    // The store keeps the file's bytes as read, with where its lines lie.
    Memo1->setProperty(kLineStoreProperty, QVariant::fromValue(file.lines));
    // The box shows the file's text, decoded only once it is seen or read
    // (it lies out of view in the narrow layout). When it already shows
    // exactly these bytes decoded (the same bytes, and nothing set or typed
    // into it since), its text stays as it is; bytes still waiting are
    // replaced by these. Either way the box and the store share one copy.
    if (Memo1->showsGivenText() && !Memo1->hasPendingText()
        && Memo1->property(kShownBytesProperty).toByteArray() == file.bytes) {
        Memo1->setProperty(kShownBytesProperty, file.bytes);
        return;
    }
    Memo1->setCp932Text(file.bytes);
    Memo1->setProperty(kShownBytesProperty, file.bytes);
}

questions::MonLines TForm1::lineStore() const
{
    return Memo1->property(kLineStoreProperty).value<questions::MonLines>();
}
