// The question-set list and the question table: opening a file by the
// format mode, and appending a list row's questions to the table.

#include "app/Un_subri1.h"

#include "app/controls.h"
#include "platform/StringGrid.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "questions/csv_format.h"
#include "questions/file_types.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace app;

namespace {
constexpr int kListRows = 8;
} // namespace

bool TForm1::binaryMode() const
{
    return OpenDialog1->filterIndex() == questions::kBinaryTypeEntry;
}

void TForm1::Button3Click()
{
    if (!OpenDialog1->execute())
        return;
    openQuestionFile(OpenDialog1->fileName());
}

void TForm1::openQuestionFile(const QString& path)
{
    // A file whose extension names its format is read by that format's
    // reader, whichever type entry the dialog showed; the format mode then
    // follows it, as if the file had been chosen under its own entry.
    OpenDialog1->setFilterIndex(questions::typeEntryForFile(path, OpenDialog1->filterIndex()));
    const int entry = OpenDialog1->filterIndex();
    if (entry == questions::kBinaryTypeEntry) {
        binaryOpen(path);
        // The genres now fill the list rows: none names a CSV file any more.
        csvListRows.fill(false);
    } else if (entry == questions::kCsvTypeEntry) {
        csvOpen(path);
    } else {
        textOpen(path);
        csvListRows[textListRow()] = false;
    }
}

int TForm1::textListRow() const
{
    // The list has eight data rows; a ninth and later text file reuses them in turn.
    return (textFileCount - 1) % kListRows + 1;
}

void TForm1::openQuestionFiles(const QStringList& paths)
{
    // Absolute first: each opened file moves the current directory.
    QStringList absolutePaths;
    for (const QString& path : paths)
        absolutePaths << QFileInfo(path).absoluteFilePath();
    for (const QString& path : absolutePaths) {
        guard.run([this, &path] {
            OpenDialog1->recordChoice(path, OpenDialog1->filterIndex());
            openQuestionFile(OpenDialog1->fileName());
        });
    }
}

void TForm1::StringGrid1SelectCell(int /*ACol*/, int ARow)
{
    const bool binary = binaryMode();
    const bool csv = !binary && textRowAccepted(ARow) && csvListRows[ARow];
    questions::CsvSet csvSet;
    if (!binary) {
        if (!textRowAccepted(ARow))
            return;
        if (csv)
            csvSet = csvReload(ARow);
        else
            textReload(ARow);
    }
    const QString setName = StringGrid1->cell(1, ARow);
    extendTableHeader(setName);
    StringGrid2->grid()->beginBulkUpdate();
    try {
        if (binary)
            binaryAppend(ARow, setName);
        else if (csv)
            csvAppend(csvSet, setName);
        else
            textAppend(setName);
    } catch (...) {
        StringGrid2->grid()->endBulkUpdate();
        throw;
    }
    StringGrid2->grid()->endBulkUpdate();
    finishAppend();
}

void TForm1::extendTableHeader(const QString& setName)
{
    StringGrid2->setCell(1, 0, StringGrid2->cell(1, 0) + setName + u'/');
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
