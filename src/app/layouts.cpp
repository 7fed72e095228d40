// The window layouts: the wide and the narrow normal layout, and the compact
// always-on-top strip of the screen-side page, chosen by the page the user
// selects. Sizes are client-area sizes: in the normal layouts the window is
// the tab control with the status bar below it, in the compact layout
// exactly the tab control. No layout moves the window.

#include "app/Un_subri1.h"

#include "app/controls.h"
#include "display/compact_layout.h"
#include "text/font_points.h"
#include "display/font_sizing.h"
#include "widgets/PageControl.h"
#include "platform/always_on_top.h"
#include "widgets/dialogs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

namespace {

constexpr int kWideTabWidth = 997;
constexpr int kNarrowTabWidth = 782;
constexpr int kNormalTabHeight = 411;
// The memos leave this much of the tab control's width free.
constexpr int kMemoWidthAllowance = 12;
// Beside the labels the strip keeps room for the tab row and the frame.
constexpr int kCompactHeightAllowance = 35;

const char* const kCompactWidthTag = "tag";

void setWidth(QWidget* widget, int width)
{
    widget->resize(width, widget->height());
}

void setHeight(QWidget* widget, int height)
{
    widget->resize(widget->width(), height);
}

// A display font's size in whole points.
int pointsOf(const QFont& font, int dpi)
{
    return display::pointsFromPixels(display::sizedInPixels(font, dpi).pixelSize(), dpi);
}

} // namespace

// The normal layout with the tab control's current width.
void TForm1::bt_SizehenkouClick()
{
    platform::setStaysOnTop(this, false);
    setHeight(PageControl1, kNormalTabHeight);
    resize(PageControl1->width(), PageControl1->height() + kStatusBarHeight);
    setWidth(Memo2, PageControl1->width() - kMemoWidthAllowance);
    setWidth(Memo3, PageControl1->width() - kMemoWidthAllowance);
    StatusBar1->show();
}

// "大→": the wide layout.
void TForm1::bt_size1_8Click()
{
    setWidth(PageControl1, kWideTabWidth);
    bt_SizehenkouClick();
}

// "←小": the narrow layout.
void TForm1::bt_size1_5Click()
{
    setWidth(PageControl1, kNarrowTabWidth);
    bt_SizehenkouClick();
}

// The compact layout: the strip's height follows the question memo's font
// size M and the answer label's font size L (whole points), its width is the
// remembered compact width.
void TForm1::B18_gamen3sousaClick()
{
    platform::setStaysOnTop(this, true);
    const int dpi = logicalDpiY();
    const int M = pointsOf(Memo2->font(), dpi);
    const int L = pointsOf(Label8->font(), dpi);
    Label8->move(Label8->x(), display::compactAnswerTop(M, L));
    setWidth(PageControl1, B18_gamen3sousa->property(kCompactWidthTag).toInt());
    const int H = display::compactLabelHeight(L);
    setHeight(PageControl1, H + Label8->y() + kCompactHeightAllowance);
    // On this page the window's width carries the tab control's width along
    // (FormResize); both are the same here, so nothing is undone.
    resize(PageControl1->size());
    StatusBar1->hide();
}

// Before the user's page change: leaving the screen-side page remembers the
// strip's width. The page being left is still the current one here.
void TForm1::PageControl1Changing()
{
    if (PageControl1->currentWidget() == TabSheet3)
        B18_gamen3sousa->setProperty(kCompactWidthTag, PageControl1->width());
}

// After the user's page change: the layout of the page now shown.
void TForm1::PageControl1Change()
{
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheet1)
        bt_size1_8Click();
    else if (page == TabSheet2 || page == TabSheet4)
        bt_size1_5Click();
    else if (page == TabSheet3)
        B18_gamen3sousaClick();
}

void TForm1::turnToPage(QWidget* page)
{
    if (PageControl1->currentWidget() == page)
        return;
    PageControl1Changing();
    PageControl1->setCurrentWidget(page);
    PageControl1Change();
}

// On the screen-side page the tab control follows the window's width, so a
// drag of the strip's border widens or narrows it; its height stays.
void TForm1::FormResize()
{
    if (PageControl1->currentWidget() == TabSheet3)
        setWidth(PageControl1, width());
}

// "Ft.": the labels' font from the font dialog, then the strip laid out
// again, whether the dialog was confirmed or not.
void TForm1::Button17Click()
{
    FontDialog1->setFont(Label31->font());
    FontDialog1->setColor(Label31->palette().color(QPalette::WindowText));
    if (FontDialog1->execute()) {
        for (QLabel* label : {Label31, Label8}) {
            label->setFont(display::sizedInPixels(FontDialog1->font(), label->logicalDpiY()));
            app::setTextColor(label, FontDialog1->color());
        }
    }
    B18_gamen3sousaClick();
}

// "1", "2", "3": the question memos' size presets, then the strip laid out
// again for the new question font.
void TForm1::Button33Click()
{
    Button12Click();
    B18_gamen3sousaClick();
}

void TForm1::Button34Click()
{
    Button13Click();
    B18_gamen3sousaClick();
}

void TForm1::Button35Click()
{
    Button14Click();
    B18_gamen3sousaClick();
}
