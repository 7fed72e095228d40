// The presentation range: start and end question numbers, the count that
// follows from them with its colour, and the double-clicks that take the
// current table row's number.

#include "app/Un_subri1.h"

#include "app/controls.h"
#include "widgets/StringGrid.h"

#include <QLineEdit>

using namespace app;

namespace {

// Counts the sibling quiz program accepts (8 to 300) show lime, others red.
QColor rangeCountColor(int count)
{
    return count >= 8 && count <= 300 ? kLime : kRed;
}

} // namespace

void TForm1::Edit6Change()
{
    updateRangeCount();
}

void TForm1::Edit8Change()
{
    const int questions = StringGrid2->rowCount() - 2;
    if (intOf(Edit8) > questions)
        setFieldText(Edit8, QString::number(questions)); // runs Edit8Change again, nested
    updateRangeCount();
}

// The steps both range fields share: the count from end and start, the
// stored range texts (swapped when the count is below 1) and the count's colour.
void TForm1::updateRangeCount()
{
    // The end is read before the start, so a failure names the end's text first.
    const int end = intOf(Edit8);
    const int start = intOf(Edit6);
    // 32-bit arithmetic that wraps instead of overflowing, for extreme texts.
    const int count = int(quint32(end) - quint32(start) + 1u);
    setFieldText(Edit7, QString::number(count));
    if (intOf(Edit7) >= 1) {
        storedRangeStart = Edit6->text();
        storedRangeEnd = Edit8->text();
    } else {
        storedRangeStart = Edit8->text();
        storedRangeEnd = Edit6->text();
    }
    setFieldColor(Edit7, rangeCountColor(count));
}

void TForm1::Edit6DblClick()
{
    setFieldText(Edit6, StringGrid2->cell(0, StringGrid2->currentRow()));
    setFieldText(Edit6, storedRangeStart);
    setFieldText(Edit8, storedRangeEnd);
}

void TForm1::Edit8DblClick()
{
    setFieldText(Edit8, StringGrid2->cell(0, StringGrid2->currentRow()));
    setFieldText(Edit8, storedRangeEnd);
    setFieldText(Edit6, storedRangeStart);
}
