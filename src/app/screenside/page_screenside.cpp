// The screen-side page "画面脇常駐": the question and answer labels of the
// compact always-on-top strip and its font and size buttons.

#include "app/Un_subri1.h"
#include "app/controls.h"
#include "widgets/PadHidingLabel.h"

#include <QLabel>
#include <QPushButton>

using namespace app;

void TForm1::createScreenSidePage()
{
    QWidget* page = TabSheet3;

    Button17 = makeButton(page, "Button17", 0, 0, 25, 17, QStringLiteral("Ft."));
    Button33 = makeButton(page, "Button33", 4, 16, 21, 13, QStringLiteral("1"));
    Button34 = makeButton(page, "Button34", 0, 28, 13, 13, QStringLiteral("2"));
    Button35 = makeButton(page, "Button35", 12, 28, 13, 13, QStringLiteral("3"));
    for (QPushButton* button : {Button17, Button33, Button34, Button35})
        button->setFont(designFont(13));
    B18_gamen3sousa = makeButton(page, "B18_gamen3sousa", 200, 0, 45, 25, QStringLiteral("d18"));
    B18_gamen3sousa->hide();
    B18_gamen3sousa->setProperty("tag", 789); // the compact width

    // The answer label lies above the question label.
    // They draw the question and answer without pad characters.
    Label31 = setUpLabel(new platform::PadHidingLabel(QStringLiteral("問題文"), page), "Label31", 28, 0, 55, 17);
    Label8 = setUpLabel(new platform::PadHidingLabel(QStringLiteral("正解"), page), "Label8", 28, 32, 37, 17);
    for (QLabel* label : {Label31, Label8}) {
        label->setFont(designFont(17, true));
        setTextColor(label, kBlack);
        label->installEventFilter(this); // sized to their text
    }
    setLabelBackground(Label31, kLime);
    setLabelBackground(Label8, kYellow);
}
