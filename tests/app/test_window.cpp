// The window at start, the hint line, the error box and the program directory.

#include "app/Un_subri1.h"
#include "widgets/HintLine.h"
#include "widgets/PageControl.h"
#include "platform/PresentationTimer.h"
#include "widgets/dialogs.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheChallengePage();
    void pagesInTabOrder();
    void buttonsEnabledAfterLoadAreDisabledAtStart();
    void hintWalksOutwards_data();
    void hintWalksOutwards();
    void hintUsesTextAfterFirstBar();
    void statusBarFollowsTheMouse();
    void errorBoxTextRule_data();
    void errorBoxTextRule();
    void errorBoxTitleFromProgramName();
    void handlerErrorFromAnEventReachesTheErrorBox();
    void handlerCalledDirectlyThrows();
    void programDirectoryFollowsTheWorkingDirectory();
    void conversionRule_data();
    void conversionRule();
};

void TestWindow::startsOnTheChallengePage()
{
    TForm1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("MireldoVer0.8"));
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet1);
    QCOMPARE(form.PageControl1->geometry(), QRect(0, 0, 997, 413));
    QCOMPARE(form.size(), QSize(997, 413 + 19));
    QCOMPARE(form.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(form.font().pixelSize(), 15);
    QCOMPARE(form.Timer1->objectName(), QStringLiteral("Timer1"));
    QCOMPARE(form.Timer1->property("interval").toInt(), 1);
    QCOMPARE(form.Timer1->property("active").toBool(), false);
    QCOMPARE(form.OpenDialog1->filterIndex(), 2);
    QCOMPARE(form.OpenDialog1->filter(),
             QStringLiteral("ごたく形式(.5TQ)|*.5TQ|Quillop形式(mon)|*.mon|CSV・TSV形式(*.csv;*.tsv;*.txt)|*.csv;*.tsv;*.txt"
                            "|Ankiデッキ（*.apkg;*.colpkg）|*.apkg;*.colpkg"));
    QCOMPARE(form.StatusBar1->currentMessage(), QString());
    QCOMPARE(form.Edit14->text(), QStringLiteral("立ち上げ絶対パスの取得"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Edit14->text(), QDir::currentPath() + u'/');
}

void TestWindow::pagesInTabOrder()
{
    TForm1 form;
    const QStringList captions{QStringLiteral("読込・出題設定"), QStringLiteral("チャレンジ画面"),
                               QStringLiteral("画面脇常駐"), QStringLiteral("解説")};
    const QList<QWidget*> pages{form.TabSheet2, form.TabSheet1, form.TabSheet3, form.TabSheet4};
    QCOMPARE(form.PageControl1->count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(form.PageControl1->widget(i), pages[i]);
        QCOMPARE(form.PageControl1->tabText(i), captions[i]);
    }
}

void TestWindow::buttonsEnabledAfterLoadAreDisabledAtStart()
{
    TForm1 form;
    const QList<QPushButton*> buttons = form.enabledAfterLoadButtons();
    QCOMPARE(buttons.size(), 19);
    for (QPushButton* button : buttons)
        QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    QVERIFY(form.Button3->isEnabled());
}

void TestWindow::hintWalksOutwards_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("hint");
    const QString welcome = QStringLiteral(
        "ようこそ！「Mireldo」の世界へ．．．脳波のα波θ波の創出と、問題文正解を繰り返し目にすることによる自然記憶の世界");
    QTest::newRow("own hint") << "Button11" << QStringLiteral("好きなフォント種類を選ぶとき");
    QTest::newRow("no hint on the challenge page") << "Label33" << welcome;
    QTest::newRow("memo takes the page hint") << "Memo2" << welcome;
    QTest::newRow("inside the preset group") << "Label35"
        << QStringLiteral("いろいろな組み合わせを作ってみましたが．．．今後、御意見により変更されます。（インターバル発生間隔の正確計測値が25m秒程度が前提）");
    QTest::newRow("no hint on the loading page") << "Label26" << QString();
    QTest::newRow("disabled control keeps its hint") << "Edit7" << QStringLiteral("出題対象となる問題数");
}

void TestWindow::hintWalksOutwards()
{
    QFETCH(QString, control);
    QFETCH(QString, hint);
    TForm1 form;
    auto* widget = form.findChild<QWidget*>(control);
    QVERIFY(widget);
    QCOMPARE(platform::hintFor(widget), hint);
}

void TestWindow::hintUsesTextAfterFirstBar()
{
    QCOMPARE(platform::longHint(QStringLiteral("short|long|more")), QStringLiteral("long|more"));
    QCOMPARE(platform::longHint(QStringLiteral("no bar")), QStringLiteral("no bar"));
    TForm1 form;
    form.Label33->setStatusTip(QStringLiteral("短い|長い説明"));
    QCOMPARE(platform::hintFor(form.Label33), QStringLiteral("長い説明"));
}

void TestWindow::statusBarFollowsTheMouse()
{
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseMove(form.Button11, QPoint(5, 5));
    QTRY_COMPARE(form.StatusBar1->currentMessage(), QStringLiteral("好きなフォント種類を選ぶとき"));
    QTest::mouseMove(form.Label33, QPoint(3, 3));
    QTRY_VERIFY(form.StatusBar1->currentMessage().startsWith(QStringLiteral("ようこそ！")));
}

void TestWindow::errorBoxTextRule_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("japanese") << QStringLiteral("0 による除算") << QStringLiteral("0 による除算.");
    QTest::newRow("ends in a dot") << QStringLiteral("done.") << QStringLiteral("done.");
    QTest::newRow("ends in a space") << QStringLiteral("done ") << QStringLiteral("done ");
    QTest::newRow("ends in a bracket") << QStringLiteral("ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (5)")
                                       << QStringLiteral("ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (5)");
    QTest::newRow("ends in a letter") << QStringLiteral("abc") << QStringLiteral("abc.");
    QTest::newRow("empty") << QString() << QString();
}

void TestWindow::errorBoxTextRule()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(platform::errorBoxText(message), shown);
}

void TestWindow::errorBoxTitleFromProgramName()
{
    // This test program is "app_test_window": cut at the first ".", the
    // letters after the first in lower case.
    QCOMPARE(platform::applicationTitle(), QStringLiteral("app_test_window"));
}

void TestWindow::handlerErrorFromAnEventReachesTheErrorBox()
{
    testsupport::ErrorBoxes boxes;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.PageControl1->setCurrentWidget(form.TabSheet2);
    form.Edit6->setFocus();
    form.Edit6->selectAll();
    QTest::keyClick(form.Edit6, Qt::Key_X);
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("'x' は整数ではありません.")});
    QCOMPARE(boxes.titles.first(), platform::applicationTitle());
    // The window stays usable: the next valid edit works.
    form.Edit6->selectAll();
    QTest::keyClick(form.Edit6, Qt::Key_1);
    QCOMPARE(boxes.texts.size(), 1);
    QCOMPARE(form.Edit7->text(), QStringLiteral("1"));
}

void TestWindow::handlerCalledDirectlyThrows()
{
    TForm1 form;
    {
        const QSignalBlocker blocker(form.Edit6);
        form.Edit6->setText(QStringLiteral("abc"));
    }
    QVERIFY_THROWS_EXCEPTION(platform::Error, form.Edit6Change());
}

void TestWindow::programDirectoryFollowsTheWorkingDirectory()
{
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    TForm1 form;
    form.Edit14Click();
    QCOMPARE(form.Edit14->text(), QDir(dir.path()).canonicalPath() + u'/');
    QDir::setCurrent(before);
}

void TestWindow::conversionRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("digits") << "120" << true << 120;
    QTest::newRow("sign") << "-4" << true << -4;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("space") << " 1" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << false << 0;
}

void TestWindow::conversionRule()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    if (valid) {
        QCOMPARE(platform::StrToInt(text), value);
        return;
    }
    try {
        platform::StrToInt(text);
        QFAIL("no error");
    } catch (const platform::Error& error) {
        QCOMPARE(error.message(), QStringLiteral("'%1' は整数ではありません").arg(text));
    }
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
