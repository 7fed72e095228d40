// The explanation page "解説": the document buttons, the rich and the plain
// viewer at one place, and the save button of the mail template.

#include "app/Un_subri1.h"
#include "app/controls.h"
#include "text/pad_chars.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

using namespace app;

void TForm1::createExplanationPage()
{
    QWidget* page = TabSheet4;

    Label30 = makeLabel(page, "Label30", 24, 20, 40, 20, QStringLiteral("項目"));
    Label28 = makeLabel(page, "Label28", 260, 32, 40, 20, QStringLiteral("解説"));
    for (QLabel* label : {Label30, Label28})
        label->setFont(designFont(20));

    RichEdit1 = new QTextEdit(page);
    place(RichEdit1, "RichEdit1", 224, 56, 529, 277);
    RichEdit1->setFont(designFont(15));
    RichEdit1->setAcceptRichText(true);
    RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
    RichEdit1->setPlainText(QStringLiteral("解説コーナー\n\n左の項目から選んで下さい。"));

    RichEdit2 = makeMemo(page, "RichEdit2", 224, 56, 529, 277, QStringLiteral("RichEdit2"),
                         QStringLiteral("選択部分の切り取り［CTRL］＋［X］．．．コピー［CTRL］＋［C］．．．貼付［CTRL］＋［V］"));
    QFont fixed = designFont(15, false, kGothic);
    fixed.setFixedPitch(true);
    fixed.setStyleHint(QFont::Monospace);
    RichEdit2->setFont(fixed);
    RichEdit2->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit2->hide();
    // Documents keep the pad characters of their bytes (the mail template is
    // saved as read) but do not draw them.
    platform::hidePadChars(RichEdit1->document());
    platform::hidePadChars(RichEdit2->document());

    Button36 = makeButton(page, "Button36", 24, 48, 121, 21, QStringLiteral("Ver0.8ドキュメント"));
    Button30 = makeButton(page, "Button30", 24, 128, 117, 21, QStringLiteral("α波θ波の利用"));
    Button31 = makeButton(page, "Button31", 24, 156, 73, 21, QStringLiteral("効率暗記"));
    Button37 = makeButton(page, "Button37", 24, 252, 121, 21, QStringLiteral("Quillop所在リスト"));
    Button38 = makeButton(page, "Button38", 24, 328, 75, 21, QStringLiteral("お便りから"));
    Button39 = makeButton(page, "Button39", 124, 328, 93, 21, QStringLiteral("作者宛メール"),
                          QStringLiteral("ニフティ用のメールを作成（インターネットでもご利用下さい）。書き込みの上、[保存]ボタンでMRLDmail.DOCのファイル名で保存されます。"));
    Button41 = makeButton(page, "Button41", 188, 348, 29, 17, QStringLiteral("保存"),
                          QStringLiteral("注意！！！書き込み編集等された内容は、このボタンを押さない限り保存されません。（他のボタンを押されると以前の内容）"));
    Button41->setFont(designFont(13));
    Button41->hide();
}
