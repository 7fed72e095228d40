// Showing an Anki package that was read: its decks fill the question-set
// list like the genres of a .5tq file, and a row click appends that row's
// questions from what the open read (the package is not read again).

#include "app/Un_subri1.h"

#include "widgets/StringGrid.h"
#include "questions/file_types.h"
#include "questions/question_file_reader.h"

using questions::kQuestionSetRows;

void TForm1::showAnkiPackage(questions::QuestionFile file)
{
    currentAnkiPackage = std::move(file.anki);
    StringGrid1->setCell(0, 0, QStringLiteral("Anki")); // fits the designed label column
    StringGrid1->setCell(1, 0, QStringLiteral("デッキ名"));
    StringGrid1->setCell(2, 0, QStringLiteral("問題数"));
    StringGrid1->setCell(3, 0, QStringLiteral("始No"));
    StringGrid1->setCell(4, 0, QStringLiteral("終No"));
    StringGrid2->setCell(3, 0, QStringLiteral("Ankiﾃﾞｯｷ"));
    const std::vector<questions::AnkiRow>& rows = currentAnkiPackage->rows;
    qsizetype sum = 0;
    for (int row = 1; row <= kQuestionSetRows; ++row) {
        if (row > int(rows.size())) {
            // Not used by this package: emptied, and a click on it appends nothing.
            for (int column = 0; column < 5; ++column)
                StringGrid1->setCell(column, row, QString());
            listRowEntries[row] = 0;
            continue;
        }
        const questions::AnkiRow& deckRow = rows[size_t(row - 1)];
        StringGrid1->setCell(0, row, QStringLiteral("Anki"));
        StringGrid1->setCell(1, row, deckRow.name);
        StringGrid1->setCell(2, row, QString::number(deckRow.questionCount));
        StringGrid1->setCell(3, row, QString::number(sum + 1));
        sum += deckRow.questionCount;
        StringGrid1->setCell(4, row, QString::number(sum));
        listRowEntries[row] = questions::kAnkiTypeEntry;
    }
}

void TForm1::appendAnkiRow(int row)
{
    if (!currentAnkiPackage || row < 1 || row > int(currentAnkiPackage->rows.size()))
        return;
    const questions::AnkiRow& deckRow = currentAnkiPackage->rows[size_t(row - 1)];
    extendTableHeader(deckRow.name);
    StringGrid2->grid()->beginBulkUpdate();
    try {
        // Each question is labelled with its own deck (a row may hold subdecks).
        for (int deck : deckRow.decks) {
            const questions::AnkiDeck& source = currentAnkiPackage->decks[size_t(deck)];
            for (const questions::AnkiQuestion& question : source.questions)
                appendQuestionRow(question.question, question.answer, source.name);
        }
    } catch (...) {
        StringGrid2->grid()->endBulkUpdate();
        throw;
    }
    StringGrid2->grid()->endBulkUpdate();
    finishAppend();
}
