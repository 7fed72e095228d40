// The challenge page "チャレンジ画面": the question and answer memos, the
// order and sound settings, the rhythm fields with their up-downs, the speed
// presets, the font buttons and the measured timing.

#include "app/Un_subri1.h"
#include "app/controls.h"
#include "widgets/group_box_style.h"
#include "widgets/UpDown.h"
#include "text/pad_chars.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace app;

namespace {

QLineEdit* makeFlatEdit(QWidget* parent, const char* name, int left, int top, int width, int height,
                        const QString& text, const QString& hint = {})
{
    QLineEdit* edit = makeEdit(parent, name, left, top, width, height, text, hint);
    edit->setFrame(false);
    // A text longer than the field stops short of its right edge, clear of the
    // unit label placed 3 px beside it.
    edit->setTextMargins(0, 0, 3, 0);
    return edit;
}

platform::UpDown* makeUpDown(QWidget* parent, const char* name, int left, int top, QLineEdit* field,
                             int position, const QString& hint = {})
{
    auto* upDown = new platform::UpDown(parent);
    place(upDown, name, left, top, 19, 25, hint);
    upDown->setMinimum(1);
    upDown->setMaximum(10000);
    upDown->setIncrement(1);
    // The design position matches the field's design text: record it before
    // attaching the field, so nothing is written.
    upDown->setPosition(position);
    upDown->associate(field);
    return upDown;
}

QPlainTextEdit* makeDisplayMemo(QWidget* page, const char* name, int top, const QString& text,
                                const QColor& background)
{
    QPlainTextEdit* memo = makeMemo(page, name, 0, top, 985, 101, text);
    memo->setFrameStyle(QFrame::NoFrame);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setWordWrapMode(QTextOption::WordWrap);
    memo->setFont(designFont(80));
    setFieldColor(memo, background);
    platform::hidePadChars(memo->document());
    return memo;
}

} // namespace

void TForm1::createChallengePage()
{
    QWidget* page = TabSheet1;

    createPresetGroup();

    Button10 = makeButton(page, "Button10", 296, -4, 77, 25, QStringLiteral("標準設定"));
    Button10->setEnabled(false);
    Button10->hide();
    Button1 = makeButton(page, "Button1", 18, -2, 27, 19, QStringLiteral("GO"));
    Button1->setFont(designFont(13));
    Button1->hide();
    But4 = makeButton(page, "But4", 256, 0, 41, 21, QStringLiteral("ラップ"));
    But4->hide();

    // Rhythm fields: tick interval (hidden until revealed), question period, answer span.
    Label25 = makeLabel(page, "Label25", 564, 0, 75, 15, QStringLiteral("目安設定値"));
    Label17 = makeLabel(page, "Label17", 416, 24, 150, 15, QStringLiteral("１インターバル発生間隔"));
    Label18 = makeLabel(page, "Label18", 396, 56, 170, 15, QStringLiteral("出題間隔のインターバル数"));
    Label19 = makeLabel(page, "Label19", 412, 88, 155, 15, QStringLiteral("正解表示インターバル数"));
    Ed1 = makeEdit(page, "Ed1", 576, 20, 53, 25, QStringLiteral("1"),
                   QStringLiteral("設定値１で、25m秒程度より小さくなる時は、1以上に設定して25m秒程度に調整して下さい。"));
    Ed1->setFont(designFont(17));
    UpDown1 = makeUpDown(page, "UpDown1", 629, 20, Ed1, 1,
                         QStringLiteral("初期設定の１で25m秒より大きいときは不可・・・下の２つで調整して下さい。"));
    Ed1->hide();
    UpDown1->hide();
    Edit5 = makeEdit(page, "Edit5", 576, 52, 45, 25, QStringLiteral("50"));
    Edit5->setFont(designFont(17, true));
    UpDown2 = makeUpDown(page, "UpDown2", 621, 52, Edit5, 50);
    Edit4 = makeEdit(page, "Edit4", 576, 84, 45, 25, QStringLiteral("5"));
    Edit4->setFont(designFont(17, true));
    Edit4->setProperty("tag", 0); // the alignment guard
    UpDown3 = makeUpDown(page, "UpDown3", 621, 84, Edit4, 5);
    seigou_tori = makeButton(page, "seigou_tori", 496, 40, 33, 21, QStringLiteral("整合"));
    seigou_tori->hide();
    seigou_tori2 = makeButton(page, "seigou_tori2", 508, 40, 49, 21, QStringLiteral("整合2"));
    seigou_tori2->hide();

    createMeasurementFields();

    // Counters, order and sound.
    Label33 = makeLabel(page, "Label33", 8, 144, 15, 15, QStringLiteral("全"));
    Edit9 = makeFlatEdit(page, "Edit9", 28, 140, 61, 21, QStringLiteral("0"),
                         QStringLiteral("［読込・出題設定］の［Start Go］ボタンを押してからの通算表示問題数"));
    Label34 = makeLabel(page, "Label34", 92, 144, 15, 15, QStringLiteral("問"));
    Label38 = makeLabel(page, "Label38", 120, 132, 15, 15, QStringLiteral("⑥"));

    Button11 = makeButton(page, "Button11", 136, 132, 81, 33, QStringLiteral("フォント設定"),
                          QStringLiteral("好きなフォント種類を選ぶとき"));
    Button12 = makeButton(page, "Button12", 216, 132, 89, 17, QStringLiteral("1行15文字以内"),
                          QStringLiteral("1行で表示できる時"));
    Button13 = makeButton(page, "Button13", 216, 148, 45, 17, QStringLiteral("2行"),
                          QStringLiteral("２行で表示できる時"));
    Button14 = makeButton(page, "Button14", 260, 148, 45, 17, QStringLiteral("3行"),
                          QStringLiteral("３行でないと表示できない時．．．これでもダメなら［フォント設定］で小さい文字にして下さい"));
    for (QPushButton* button : {Button12, Button13, Button14})
        button->setFont(designFont(13));
    bt_size1_5 = makeButton(page, "bt_size1_5", 312, 140, 37, 21, QStringLiteral("←小"));
    bt_size1_8 = makeButton(page, "bt_size1_8", 348, 140, 37, 21, QStringLiteral("大→"));
    bt_Sizehenkou = makeButton(page, "bt_Sizehenkou", 452, 32, 21, 25, QStringLiteral("bt_Sizehenkou"));
    bt_Sizehenkou->hide();

    RadioGroup1 = new QGroupBox(QStringLiteral("⑦出題方式"), page);
    RadioGroup1->setStyle(display::designedGroupBoxStyle()); // frame line through the caption
    place(RadioGroup1, "RadioGroup1", 396, 124, 181, 41,
          QStringLiteral("馴染みのない問題集は作成順で！．．．既知の問題集ではランダムを！"));
    RadioButton1 = new QRadioButton(QStringLiteral("作成順"), page);
    place(RadioButton1, "RadioButton1", 408, 144, 73, 17, QStringLiteral("作成順で出題表示"));
    RadioButton2 = new QRadioButton(QStringLiteral("ランダム"), page);
    place(RadioButton2, "RadioButton2", 488, 144, 77, 17, QStringLiteral("ランダムで出題表示"));
    RadioButton2->setChecked(true);
    Label32 = makeLabel(page, "Label32", 576, 148, 48, 15, QStringLiteral("問題No"));

    But_oto = makeButton(page, "But_oto", 664, 136, 41, 25, QStringLiteral("音無"),
                         QStringLiteral("正解表示に合わせてビープ音を鳴らすかどうか？"));
    But_oto->setFocusPolicy(Qt::ClickFocus);
    Button28 = makeButton(page, "Button28", 708, 136, 57, 25, QStringLiteral("ｻﾌﾞﾘ的ﾍ"),
                          QStringLiteral("問題文と同一部分に正解表示するか別々表示するか？"));

    // The answer memo lies above the question memo.
    Memo2 = makeDisplayMemo(page, "Memo2", 168, QStringLiteral("問題文"), kLime);
    setTextColor(Memo2, kBlack);
    Memo3 = makeDisplayMemo(page, "Memo3", 276, QStringLiteral("正解"), kYellow);
}

void TForm1::createPresetGroup()
{
    GroupBox1 = new QGroupBox(QStringLiteral("⑧出題速度"), TabSheet1);
    // The frame line runs through the caption, above "出題 0 問" at top 12.
    GroupBox1->setStyle(display::designedGroupBoxStyle());
    place(GroupBox1, "GroupBox1", 8, 12, 357, 109,
          QStringLiteral("いろいろな組み合わせを作ってみましたが．．．今後、御意見により変更されます。（インターバル発生間隔の正確計測値が25m秒程度が前提）"));
    QWidget* group = GroupBox1;

    Label35 = makeLabel(group, "Label35", 252, 14, 30, 15, QStringLiteral("出題"));
    Edit13 = makeFlatEdit(group, "Edit13", 284, 12, 53, 19, QStringLiteral("0"),
                          QStringLiteral("ここのボタン類を押した時点からの表示問題数。"));
    Edit13->setFont(designFont(13));
    Label36 = makeLabel(group, "Label36", 336, 14, 15, 15, QStringLiteral("問"));

    const auto preset = [group](const char* name, int left, int top, int width, int height,
                                const QString& caption, bool small, const QString& hint = {}) {
        QPushButton* button = makeButton(group, name, left, top, width, height, caption, hint);
        if (small)
            button->setFont(designFont(13));
        button->setEnabled(false);
        return button;
    };
    Button6 = preset("Button6", 12, 20, 117, 25, QStringLiteral("α波設定"), false,
                     QStringLiteral("約10Hzの設定．．．少し緊張を伴ったリラックスした没頭状態で、脳波を同調させ集中力アップ（思考・集中・瞑想）"));
    Button5 = preset("Button5", 12, 46, 83, 25, QStringLiteral("θ波設定"), false,
                     QStringLiteral("約6.７Hzの設定．．．ゆったりとしたリラックス状態で、これに脳波を同調させ集中力アップ"));
    Button8 = preset("Button8", 96, 46, 33, 13, QStringLiteral("5Hz"), true,
                     QStringLiteral("約5Hzの設定．．．[θ波設定]よりさらにゆったり状態を醸成する版"));
    Button9 = preset("Button9", 96, 58, 33, 13, QStringLiteral("4Hz"), true,
                     QStringLiteral("約4Hzの設定．．．[θ波設定]の中では最もリラックス状態を醸成するが、脳波としては浅い眠りやまどろみ状態"));
    Button7 = preset("Button7", 12, 76, 85, 25, QStringLiteral("本ｻﾌﾞﾘﾐﾅﾙ"), false,
                     QStringLiteral("サブリミナルの本格版で、正解は0.025秒と一瞬．．．正解を読み取ることは無理でしょう。．．．これで、潜在記憶領域にメモされるらしいですが・・・。効果報告募集中"));
    Button29 = preset("Button29", 100, 76, 29, 13, QStringLiteral("準"), true,
                      QStringLiteral("サブリミナルに準じたモード．．．これなら何とか読み取れるのでは？"));
    Button32 = preset("Button32", 100, 88, 29, 13, QStringLiteral("確"), true,
                      QStringLiteral("サブリミナルとはこんなものだという確認版モード．．．読み取れるので、何かの役に立つかもという特別なモード"));
    Button23 = preset("Button23", 148, 20, 37, 17, QStringLiteral("速速"), true);
    Button24 = preset("Button24", 188, 20, 53, 17, QStringLiteral("速"), true);
    Button25 = preset("Button25", 148, 36, 93, 25, QStringLiteral("確認しよう"), false,
                      QStringLiteral("記憶を確認するためのモード．．．動作は不要。問題文の表示されれば、頭の中で正解をイメージして記憶を自ら判定するだけ"));
    Button26 = preset("Button26", 148, 60, 53, 17, QStringLiteral("遅"), true);
    Button27 = preset("Button27", 204, 60, 37, 17, QStringLiteral("遅遅"), true);
    Button18 = preset("Button18", 256, 44, 37, 17, QStringLiteral("速速"), true);
    Button19 = preset("Button19", 296, 44, 53, 17, QStringLiteral("速"), true);
    Button20 = preset("Button20", 256, 60, 93, 25, QStringLiteral("暗記っちゃえ"), false,
                      QStringLiteral("暗記するためのモード．．．作者が意図している使い方は「解説」をどうぞ"));
    Button21 = preset("Button21", 256, 84, 53, 17, QStringLiteral("遅"), true);
    Button22 = preset("Button22", 312, 84, 37, 17, QStringLiteral("遅遅"), true);
}

void TForm1::createMeasurementFields()
{
    QWidget* page = TabSheet1;
    Label20 = makeLabel(page, "Label20", 660, 0, 75, 15, QStringLiteral("正確計測値"));
    Edit10 = makeFlatEdit(page, "Edit10", 660, 20, 61, 21, QStringLiteral("未測定"),
                          QStringLiteral("ここは25m秒程度。・・・マシンによりこれより小さくなる場合は、ダブルクリックで出現する設定ボタンで変更を！"));
    Label10 = makeLabel(page, "Label10", 724, 28, 26, 15, QStringLiteral("m秒"));
    Edit12 = makeFlatEdit(page, "Edit12", 660, 52, 61, 21, QStringLiteral("未測定"));
    setFieldColor(Edit12, kLime);
    Label11 = makeLabel(page, "Label11", 724, 60, 15, 15, QStringLiteral("秒"));
    Edit11 = makeFlatEdit(page, "Edit11", 660, 84, 61, 21, QStringLiteral("未測定"));
    setFieldColor(Edit11, kYellow);
    Label12 = makeLabel(page, "Label12", 724, 88, 15, 15, QStringLiteral("秒"));

    Lab16 = makeLabel(page, "Lab16", 776, 0, 75, 15, QStringLiteral("計測値平均"));
    Ed10 = makeFlatEdit(page, "Ed10", 776, 20, 73, 21, QStringLiteral("未測定"));
    Label13 = makeLabel(page, "Label13", 852, 28, 26, 15, QStringLiteral("m秒"));
    Ed12 = makeFlatEdit(page, "Ed12", 776, 52, 73, 21, QStringLiteral("未測定"));
    setFieldColor(Ed12, kLime);
    Lab14 = makeLabel(page, "Lab14", 852, 60, 15, 15, QStringLiteral("秒"));
    Ed11 = makeFlatEdit(page, "Ed11", 776, 84, 73, 21, QStringLiteral("未測定"));
    setFieldColor(Ed11, kYellow);
    Lab15 = makeLabel(page, "Lab15", 852, 92, 15, 15, QStringLiteral("秒"));

    Label21 = makeLabel(page, "Label21", 888, 0, 103, 15, QStringLiteral("回／秒（ヘルツ）"));
    Label23 = makeLabel(page, "Label23", 912, 24, 57, 43, QStringLiteral("8.8"));
    Label23->setFont(designFont(43, true));
    Label23->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label24 = makeLabel(page, "Label24", 875, 72, 114, 15, QStringLiteral("α波は13～８ﾍﾙﾂ"),
                        QStringLiteral("脳波がα波状態の時は13～８Hzで、何かに没頭落ち着いている時。｛β波は14～25Hzで、緊張・心配事・複雑な作業時｝"));
    Label22 = makeLabel(page, "Label22", 876, 88, 108, 15, QStringLiteral("θ波は８～４ﾍﾙﾂ"),
                        QStringLiteral("脳波がθ波状態の時は８～４Hzで、熟睡と意識ある時の中間状態で浅い眠り・まどろみ状態｛δﾃﾞﾙﾀ波は0.5～3Hzで、熟睡中で深い眠り時｝"));
}
