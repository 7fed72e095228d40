// The question table's rows as an append builds them, whichever reader the
// questions come from: the header naming each set, room made once, a row
// per question, and the finish that enables the buttons and sets the range.

#include "app/Un_subri1.h"

#include "app/controls.h"
#include "questions/question_file_reader.h"
#include "widgets/StringGrid.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

using namespace app;

void TForm1::extendTableHeader(const QString& setName)
{
    StringGrid2->setCell(1, 0, StringGrid2->cell(1, 0) + setName + u'/');
}

void TForm1::reserveQuestionRows(qsizetype count)
{
    // Room for no more than one file's worth at a time: the count only
    // spares the table moving its cells, it never bounds what is appended.
    const qsizetype rows = StringGrid2->rowCount() + std::min(count, questions::kMaxQuestionsPerFile);
    StringGrid2->grid()->reserveRows(int(std::min<qsizetype>(rows, std::numeric_limits<int>::max())));
}

void TForm1::appendQuestionRow(const QString& question, const QString& answer, const QString& genre)
{
    const int rows = StringGrid2->rowCount();
    StringGrid2->setRowCount(rows + 1);
    const int row = rows - 1; // the former empty last row
    StringGrid2->setCell(0, row, QString::number(row));
    StringGrid2->setCell(1, row, question);
    StringGrid2->setCell(2, row, answer);
    StringGrid2->setCell(3, row, genre);
}

QList<QPushButton*> TForm1::enabledAfterLoadButtons() const
{
    return {Button16, Button10, Button5, Button6, Button7, Button8, Button9, Button18, Button19, Button20,
            Button21, Button22, Button23, Button24, Button25, Button26, Button27, Button29, Button32};
}

void TForm1::setEnabledAfterLoad(bool enabled)
{
    for (QPushButton* button : enabledAfterLoadButtons())
        button->setEnabled(enabled);
}

void TForm1::finishAppend()
{
    const int lastRow = StringGrid2->rowCount() - 1;
    for (int column = 0; column < 4; ++column)
        StringGrid2->setCell(column, lastRow, QString());
    setEnabledAfterLoad(true);
    const int questions = StringGrid2->rowCount() - 2;
    setFieldText(Edit7, QString::number(questions));
    setFieldText(Edit6, QStringLiteral("1"));
    setFieldText(Edit8, QString::number(questions));
    setFieldColor(Edit7, questions > 300 ? kRed : kLime);
}
