// Display styles of the challenge page: the font of the question and answer
// memos (font dialog and the three size presets) and the arrangement of the
// answer memo beside or over the question memo.

#include "app/Un_subri1.h"

#include "app/controls.h"
#include "display/arrangement.h"
#include "display/font_sizing.h"
#include "widgets/dialogs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace display;

namespace {

void setTop(QWidget* widget, int top)
{
    widget->move(widget->x(), top);
}

// The memo's font at the given size in points; everything else stays.
void setMemoFontPoints(QPlainTextEdit* memo, int points)
{
    memo->setFont(withPointSize(memo->font(), points, memo->logicalDpiY()));
}

} // namespace

// The font dialog, opened with the question memo's font and text colour;
// both memos take the chosen font as a whole, colour included. Cancelling
// changes nothing.
void TForm1::Button11Click()
{
    FontDialog1->setFont(Memo2->font());
    FontDialog1->setColor(Memo2->palette().color(QPalette::Text));
    if (!FontDialog1->execute())
        return;
    for (QPlainTextEdit* memo : {Memo2, Memo3}) {
        memo->setFont(sizedInPixels(FontDialog1->font(), memo->logicalDpiY()));
        app::setTextColor(memo, FontDialog1->color());
    }
}

// Size presets, named after how many lines a question takes.
void TForm1::Button12Click()
{
    setMemoFontPoints(Memo2, 48);
    setMemoFontPoints(Memo3, 48);
}

void TForm1::Button13Click()
{
    setMemoFontPoints(Memo2, 28);
    setMemoFontPoints(Memo3, 28);
}

void TForm1::Button14Click()
{
    setMemoFontPoints(Memo2, 20);
    setMemoFontPoints(Memo3, 20);
}

// The arrangement toggle. The arrangement is read from the positions: the
// answer lies over the question exactly when both memos have the same top.
// The caption names the arrangement the next press gives.
void TForm1::Button28Click()
{
    if (Memo3->y() == Memo2->y()) {
        setTop(Memo3, kSeparateAnswerTop);
        setTop(Label8, kSeparateLabelTop);
        Button28->setText(QStringLiteral("ｻﾌﾞﾘ的"));
    } else {
        setTop(Memo3, kOverlayAnswerTop);
        setTop(Label8, kOverlayLabelTop);
        Button28->setText(QStringLiteral("別々へ"));
    }
}

// The focus left a subliminal preset: back to the separate arrangement
// (putting the answer over the question first makes the toggle separate them).
void TForm1::Button7Exit()
{
    setTop(Memo3, Memo2->y());
    Button28Click();
}
