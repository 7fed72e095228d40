// The loading page "読込・出題設定": file opening, the question-set list,
// the question table, the range fields, and the work fields kept out of
// view by the narrow layout.

#include "app/Un_subri1.h"
#include "app/controls.h"
#include "widgets/StringGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

using namespace app;

void TForm1::createLoadingPage()
{
    QWidget* page = TabSheet2;

    Label26 = makeLabel(page, "Label26", 12, 12, 15, 15, QStringLiteral("①"));
    Button3 = makeButton(page, "Button3", 33, 6, 88, 25, QStringLiteral("ファイル読込"),
                         QStringLiteral("ファイルの読込．．．Quillop用（*.mon）の他、５たく用（*.5tq）も出来ます"));
    Edit3 = makeEdit(page, "Edit3", 189, 7, 364, 23, QStringLiteral("ファイルの所在地"));
    Label27 = makeLabel(page, "Label27", 12, 32, 45, 15, QStringLiteral("②選択"),
                        QStringLiteral("ごたく（*.5tq）の場合、8つのジャンルがあります"));

    StringGrid1 = new platform::StringGrid(5, 9, page);
    place(StringGrid1, "StringGrid1", 9, 50, 548, 120,
          QStringLiteral("選択した問題集ファイルの一覧．．．どこかクリックで下の表に一覧表示"));
    StringGrid1->setColumnWidths({64, 153, 76, 164, 58});
    // The label column is widened where the window's font needs more than the
    // designed 64 px for its widest caption (67 px of text in the substitute face).
    StringGrid1->setColumnWidth(0, std::max(64, StringGrid1->columnWidthFor(QStringLiteral("5TQ[.5tq]"))));
    StringGrid1->setRowHeights(24);
    StringGrid1->setFixedColor(QColor(240, 240, 240));

    Label37 = makeLabel(page, "Label37", 568, 40, 15, 15, QStringLiteral("⑤"));
    Button16 = makeButton(page, "Button16", 568, 56, 181, 57, QStringLiteral("Start Go"),
                          QStringLiteral("[確認しよう]でスタート"));
    Button16->setFont(designFont(47));
    Button16->setEnabled(false);
    Button4 = makeButton(page, "Button4", 562, 154, 87, 22, QStringLiteral("③↓を削除"),
                         QStringLiteral("下の表全て消去(構成やり直し)。"));
    setTextColor(Button4, kBlack);

    StringGrid2 = new platform::StringGrid(4, 2, page);
    place(StringGrid2, "StringGrid2", 8, 181, 753, 160,
          QStringLiteral("問題集の内容．．．番号部分をドラッグして行を入れ替え可能。＝上や下に移動して出題対象外化"));
    StringGrid2->setColumnWidths({64, 451, 222, 64});
    StringGrid2->setRowHeights(24, {{1, 22}});
    StringGrid2->setFixedColor(kGray);
    // Until the mouse first moves over it, the table offers every way of
    // shaping it except editing.
    StringGrid2->setOptions(platform::StringGrid::kDefaultOptions | platform::StringGrid::DrawFocusSelected
                            | platform::StringGrid::RowSizing | platform::StringGrid::ColSizing
                            | platform::StringGrid::RowMoving | platform::StringGrid::ColMoving
                            | platform::StringGrid::Tabs | platform::StringGrid::AlwaysShowEditor
                            | platform::StringGrid::ThumbTracking);

    Button15 = makeButton(page, "Button15", 9, 351, 83, 24, QStringLiteral("付番更新"),
                          QStringLiteral("番号順でない時表示．．．作成対象No指定は、これを押して新規付番(ﾎﾞﾀﾝ消去)後、行ってください。"));
    Button15->setFont(designFont(17, true));
    setTextColor(Button15, kBlack);
    Button15->hide();

    Label29 = makeLabel(page, "Label29", 384, 356, 15, 15, QStringLiteral("④"));
    Label14 = makeLabel(page, "Label14", 400, 356, 88, 17, QStringLiteral("出題対象No"),
                        QStringLiteral("問題出題対象を左端セル番号で指定（上下へドラッグ移動で対象外化）"));
    Edit6 = makeEdit(page, "Edit6", 496, 350, 44, 23, QStringLiteral("1"),
                     QStringLiteral("ダブルクリックで上の表のカレント行番号入力"));
    Label16 = makeLabel(page, "Label16", 542, 358, 31, 17, QStringLiteral("から"));
    Edit8 = makeEdit(page, "Edit8", 576, 350, 41, 23, QStringLiteral("1"),
                     QStringLiteral("ダブルクリックで上の表のカレント行番号入力"));
    Label15 = makeLabel(page, "Label15", 616, 358, 92, 17, QStringLiteral("まで、問題数"),
                        QStringLiteral("問題数はQuillopの制約より8以上300以下ですが、このプログラムでは制約無し"));
    for (QLabel* label : {Label14, Label16, Label15}) {
        label->setFont(designFont(17));
        setTextColor(label, kRed);
    }
    for (QLineEdit* field : {Edit6, Edit8})
        field->setAttribute(Qt::WA_InputMethodEnabled, false);

    Edit7 = makeEdit(page, "Edit7", 712, 352, 47, 26, QString(), QStringLiteral("出題対象となる問題数"));
    Edit7->setFont(designFont(18, true));
    setFieldColor(Edit7, kOlive);
    setTextColor(Edit7, kBlack);
    Edit7->setEnabled(false);
    Edit7->setCursor(Qt::ForbiddenCursor);

    // Work fields, out of view in the narrow layout.
    Edit14 = makeEdit(page, "Edit14", 796, 64, 169, 23, QStringLiteral("立ち上げ絶対パスの取得"));
    Memo1 = new platform::DeferredMemo(page);
    place(Memo1, "Memo1", 798, 142, 171, 75);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Edit1 = makeEdit(page, "Edit1", 808, 4, 37, 23, QStringLiteral("Edit1"));
    Edit2 = makeEdit(page, "Edit2", 809, 28, 36, 23, QStringLiteral("Edit2"));
    Label9 = makeLabel(page, "Label9", 905, 103, 63, 23, QStringLiteral("Label9"));
    Label9->setFont(designFont(23));
    setTextColor(Label9, kBlack);
    Label9->setAlignment(Qt::AlignRight | Qt::AlignTop);

    Label2 = makeLabel(page, "Label2", 786, 295, 41, 15, QStringLiteral("Label2"));
    Label4 = makeLabel(page, "Label4", 865, 297, 41, 15, QStringLiteral("Label4"));
    Label6 = makeLabel(page, "Label6", 869, 342, 41, 15, QStringLiteral("Label6"));
    Label7 = makeLabel(page, "Label7", 898, 314, 41, 15, QStringLiteral("Label7"));
    Label3 = makeLabel(page, "Label3", 788, 346, 41, 15, QStringLiteral("Label3"));
    Label1 = makeLabel(page, "Label1", 774, 216, 218, 80, QStringLiteral("Label1"));
    Label1->setFont(designFont(80));
    setTextColor(Label1, kBlack);
    Label5 = makeLabel(page, "Label5", 862, 361, 41, 15, QStringLiteral("Label5"));
    Button2 = makeButton(page, "Button2", 915, 353, 75, 25, QStringLiteral("Button2"));
}
