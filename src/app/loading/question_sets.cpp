// The question-set list and the question table: the one opening sequence
// that every route (the open dialog, a drop, the command line) and every
// reader shares, and the append of a list row's questions to the table.
//
// Opening reads and checks the whole file first (question_file_reader.h);
// only a file that could be read changes the window: the format mode, the
// current folder, the list header and rows, the text-file count, the path
// field and the table header. A file that cannot be read changes nothing.

#include "app/Un_subri1.h"

#include "app/controls.h"
#include "widgets/StringGrid.h"
#include "text/codepage.h"
#include "widgets/dialogs.h"
#include "platform/errors.h"
#include "questions/file_types.h"
#include "questions/question_file_reader.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>

using namespace app;
using questions::kAnkiTypeEntry;
using questions::kBinaryTypeEntry;
using questions::kCsvTypeEntry;

namespace {

constexpr int kListRows = 8;

[[noreturn]] void raiseReadFailure(const questions::ReadFailure& failure)
{
    using Kind = questions::ReadFailure::Kind;
    if (failure.kind == Kind::UnreadableLine)
        throw platform::Error(QStringLiteral("CSV %1 の %2 行目を読めません").arg(failure.path).arg(failure.line));
    if (failure.kind == Kind::TooManyQuestions)
        throw platform::Error(QStringLiteral("ﾌｧｲﾙ %1 の問題数が上限の %2 問を超えています")
                                  .arg(failure.path)
                                  .arg(questions::kMaxQuestionsPerFile));
    if (failure.kind == Kind::NotAnkiPackage)
        throw platform::Error(QStringLiteral("ﾌｧｲﾙ %1 はAnkiのパッケージではありません").arg(failure.path));
    if (failure.kind == Kind::DamagedPackage)
        throw platform::Error(
            QStringLiteral("ﾌｧｲﾙ %1 のAnkiコレクションが壊れているか、暗号化されています").arg(failure.path));
    if (failure.kind == Kind::NewerPackage)
        throw platform::Error(
            QStringLiteral("ﾌｧｲﾙ %1 はこのﾌﾟﾛｸﾞﾗﾑが読めない新しい形式のAnkiパッケージです"
                           "（Ankiで古いバージョン向けに書き出すと読めます）")
                .arg(failure.path));
    if (failure.kind == Kind::PackageTooLarge)
        throw platform::Error(QStringLiteral("ﾌｧｲﾙ %1 のAnkiコレクションが上限の %2 MiBを超えています")
                                  .arg(failure.path)
                                  .arg(questions::kMaxAnkiCollectionBytes >> 20));
    platform::raiseCannotOpen(failure.path);
}

// The file read whole, or its error raised.
questions::QuestionFile readOrRaise(const QString& path, int typeEntry,
                                    const questions::QuestionFile* earlier = nullptr)
{
    questions::ReadResult read = questions::readQuestionFile(path, typeEntry, earlier);
    if (!read.file)
        raiseReadFailure(read.failure);
    return std::move(*read.file);
}

} // namespace

bool TForm1::binaryMode() const
{
    return OpenDialog1->filterIndex() == kBinaryTypeEntry;
}

void TForm1::Button3Click()
{
    const std::optional<platform::FileDialog::Choice> choice = OpenDialog1->choose();
    if (!choice)
        return;
    // A file whose extension names its format is read by that format's
    // reader, whichever type entry the dialog showed.
    openQuestionFile(choice->path, questions::typeEntryForFile(choice->path, choice->filterIndex));
}

int TForm1::openQuestionFiles(const QStringList& paths)
{
    // Absolute first: each opened file moves the current directory.
    QStringList absolutePaths;
    for (const QString& path : paths)
        absolutePaths << QFileInfo(path).absoluteFilePath();
    int opened = 0;
    for (const QString& path : absolutePaths) {
        guard.run([this, &path, &opened] {
            openQuestionFile(path, questions::typeEntryForNamedFile(path));
            ++opened;
        });
    }
    return opened;
}

void TForm1::openQuestionFile(const QString& path, int typeEntry)
{
    questions::QuestionFile file = readOrRaise(path, typeEntry);
    // Read and checked: from here on the file is shown whole. The format
    // mode follows the reader, as if the file had been chosen under its entry.
    OpenDialog1->recordChoice(path, typeEntry);
    if (typeEntry == kBinaryTypeEntry)
        showBinaryFile(std::move(file));
    else if (typeEntry == kAnkiTypeEntry)
        showAnkiPackage(std::move(file));
    else
        showTextFile(std::move(file));
}

int TForm1::textListRow() const
{
    // The list has eight data rows; a ninth and later text file reuses them in turn.
    return (textFileCount - 1) % kListRows + 1;
}

void TForm1::showTextFile(questions::QuestionFile file)
{
    ++textFileCount;
    const int row = textListRow();
    StringGrid1->setCell(0, 0, QStringLiteral("Quillop"));
    StringGrid2->setCell(3, 0, QStringLiteral("Quillopｼﾞｬﾝﾙ"));
    if (file.typeEntry != kCsvTypeEntry)
        showInLineStore(file);
    const questions::TextListRow texts = questions::textListRowOf(file);
    StringGrid1->setCell(3, row, file.path);
    setFieldText(Edit3, texts.pathField);
    StringGrid1->setCell(2, row, texts.count);
    StringGrid1->setCell(0, row, texts.label);
    StringGrid1->setCell(1, row, texts.setName);
    // No end number of another file stays beside this one.
    StringGrid1->setCell(4, row, QString());
    listRowEntries[row] = file.typeEntry;
    if (file.typeEntry == kCsvTypeEntry)
        csvReadAtOpen = std::make_unique<questions::QuestionFile>(std::move(file));
}

void TForm1::StringGrid1SelectCell(int /*ACol*/, int ARow)
{
    // A row serves what the open that wrote it last shows: a genre of the
    // binary file, or a text file read afresh from disk. A row no open has
    // written serves nothing, and nothing at all changes.
    const int entry = ARow >= 1 && ARow <= kListRows ? listRowEntries[ARow] : 0;
    if (entry == 0)
        return;
    if (entry == kAnkiTypeEntry)
        return appendAnkiRow(ARow);
    std::optional<questions::QuestionFile> text;
    if (entry != kBinaryTypeEntry) {
        text = readOrRaise(StringGrid1->cell(3, ARow), entry, csvReadAtOpen.get());
        // Kept for one append only: the table now holds the questions.
        csvReadAtOpen.reset();
        if (entry != kCsvTypeEntry)
            showInLineStore(*text);
        else // the row says what this append brings, should the file have changed
            StringGrid1->setCell(2, ARow, questions::textListRowOf(*text).count);
    }
    const QString setName = StringGrid1->cell(1, ARow);
    extendTableHeader(setName);
    const auto append = [this, &setName](const QString& question, const QString& answer) {
        appendQuestionRow(question, answer, setName);
    };
    StringGrid2->grid()->beginBulkUpdate();
    try {
        if (entry == kBinaryTypeEntry) {
            forEachGenreQuestion(ARow, append);
        } else if (entry == kCsvTypeEntry) {
            reserveQuestionRows(text->csv.questions.size());
            for (const questions::QuestionPair& pair : text->csv.questions)
                append(pair.question, pair.answer);
        } else {
            reserveQuestionRows(text->records);
            questions::forEachRecord(lineStore(), [&append](QByteArrayView question, QByteArrayView answer) {
                append(platform::decodeCp932(question), platform::decodeCp932(answer));
            });
        }
    } catch (...) {
        StringGrid2->grid()->endBulkUpdate();
        throw;
    }
    StringGrid2->grid()->endBulkUpdate();
    finishAppend();
}
