// Editing the question table: clearing it, its drag and edit option sets,
// and renumbering after rows were dragged.

#include "app/Un_subri1.h"

#include "widgets/StringGrid.h"
#include "questions/table_format.h"

#include <QPushButton>

using platform::StringGrid;

namespace {

// Rows and columns can be dragged; nothing is edited.
constexpr StringGrid::Options kDragMode =
    StringGrid::FixedVertLine | StringGrid::FixedHorzLine | StringGrid::VertLine | StringGrid::HorzLine
    | StringGrid::ColSizing | StringGrid::RowMoving | StringGrid::ColMoving | StringGrid::ThumbTracking;

// Cells are edited in place, with the editor shown at once.
constexpr StringGrid::Options kEditMode =
    StringGrid::FixedVertLine | StringGrid::FixedHorzLine | StringGrid::VertLine | StringGrid::HorzLine
    | StringGrid::ColSizing | StringGrid::Editing | StringGrid::AlwaysShowEditor | StringGrid::ThumbTracking;

} // namespace

void TForm1::Button4Click()
{
    StringGrid2->setCell(1, 0, questions::kClearedQuestionHeader);
    StringGrid2->setCell(2, 0, QStringLiteral("解答"));
    StringGrid2->setRowCount(2);
    for (int column = 0; column < StringGrid2->colCount(); ++column)
        StringGrid2->setCell(column, 1, QString());
    setEnabledAfterLoad(false);
}

void TForm1::Button4MouseMove() {}

void TForm1::StringGrid2MouseMove()
{
    if (StringGrid2->options() != kDragMode)
        StringGrid2->setOptions(kDragMode);
}

void TForm1::StringGrid2DblClick()
{
    StringGrid2->setOptions(kEditMode);
}

void TForm1::StringGrid2RowMoved(int /*FromIndex*/, int /*ToIndex*/)
{
    Button15->show();
}

void TForm1::Button15Click()
{
    Button15->hide();
    const int questions = StringGrid2->rowCount() - 2;
    for (int row = 1; row <= questions; ++row)
        StringGrid2->setCell(0, row, QString::number(row));
}
