// The window layouts chosen by the user's page changes: the wide and narrow
// normal layouts, the compact always-on-top strip of the screen-side page,
// the remembered strip width and the strip's own buttons.

#include "app/Un_subri1.h"
#include "widgets/PageControl.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kNarrow = 782;
constexpr int kWide = 997;
constexpr int kNormalTabHeight = 411;
constexpr int kStatusBar = 19;

// The window shown at a fixed place, as the user sees it.
struct ShownForm {
    TForm1 form;
    QPoint place{40, 30};
    ShownForm()
    {
        form.move(place);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("window not exposed");
    }
};

using testsupport::clickTab;

bool staysOnTop(const TForm1& form)
{
    return form.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

int compactWidth(const TForm1& form)
{
    return form.B18_gamen3sousa->property("tag").toInt();
}

void setPixelSize(QWidget* widget, int pixels)
{
    QFont font = widget->font();
    font.setPixelSize(pixels);
    widget->setFont(font);
}

} // namespace

class TestLayouts : public QObject {
    Q_OBJECT
private slots:
    void userPageChangeLaysOutTheWindow_data();
    void userPageChangeLaysOutTheWindow();
    void firstVisitOfTheScreenSidePage();
    void ctrlTabIsAUserPageChange();
    void stripFollowsTheFontSizes_data();
    void stripFollowsTheFontSizes();
    void sizeButtonsOfTheStrip_data();
    void sizeButtonsOfTheStrip();
    void fontButtonGivesBothLabelsTheChosenFont();
    void draggedStripWidth_data();
    void draggedStripWidth();
    void startFromTheLoadingPageKeepsTheNarrowLayout();
    void resizingOtherPagesChangesNothingInside_data();
    void resizingOtherPagesChangesNothingInside();
    void clickOnTheCurrentTabChangesNothing();
    void programPageChangeRunsNoLayout();
};

void TestLayouts::userPageChangeLaysOutTheWindow_data()
{
    QTest::addColumn<QList<int>>("tabs"); // tab indices clicked in turn
    QTest::addColumn<int>("tabWidth");    // 0: the compact strip

    QTest::newRow("loading") << QList<int>{0} << kNarrow;
    QTest::newRow("explanation") << QList<int>{3} << kNarrow;
    QTest::newRow("challenge") << QList<int>{0, 1} << kWide;
    QTest::newRow("screen-side") << QList<int>{2} << 0;
    QTest::newRow("challenge after the strip") << QList<int>{2, 1} << kWide;
    QTest::newRow("loading after the strip") << QList<int>{2, 0} << kNarrow;
    QTest::newRow("strip after the narrow layout") << QList<int>{3, 2} << 0;
}

void TestLayouts::userPageChangeLaysOutTheWindow()
{
    QFETCH(QList<int>, tabs);
    QFETCH(int, tabWidth);

    ShownForm shown;
    TForm1& form = shown.form;
    for (int index : tabs)
        clickTab(form, form.PageControl1->widget(index));
    QCOMPARE(form.PageControl1->currentIndex(), tabs.last());
    QCOMPARE(form.pos(), shown.place);
    QVERIFY(form.isVisible());

    if (tabWidth == 0) {
        QCOMPARE(form.PageControl1->size(), QSize(789, 77));
        QCOMPARE(form.size(), form.PageControl1->size());
        QVERIFY(staysOnTop(form));
        QVERIFY(form.StatusBar1->isHidden());
        QCOMPARE(form.Memo2->width(), tabs.size() > 1 ? kNarrow - 12 : 985);
        return;
    }
    QCOMPARE(form.PageControl1->geometry(), QRect(0, 0, tabWidth, kNormalTabHeight));
    QCOMPARE(form.size(), QSize(tabWidth, kNormalTabHeight + kStatusBar));
    QCOMPARE(form.StatusBar1->geometry(), QRect(0, kNormalTabHeight, tabWidth, kStatusBar));
    QVERIFY(!form.StatusBar1->isHidden());
    QVERIFY(!staysOnTop(form));
    QCOMPARE(form.Memo2->width(), tabWidth - 12);
    QCOMPARE(form.Memo3->width(), tabWidth - 12);
}

void TestLayouts::firstVisitOfTheScreenSidePage()
{
    ShownForm shown;
    TForm1& form = shown.form;
    QCOMPARE(form.logicalDpiY(), 96);
    clickTab(form, form.TabSheet3);

    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet3);
    QCOMPARE(form.PageControl1->geometry(), QRect(0, 0, 789, 77));
    QCOMPARE(form.size(), QSize(789, 77));
    QCOMPARE(form.Label8->y(), 21);
    QVERIFY(staysOnTop(form));
    QVERIFY(form.isVisible());
    QCOMPARE(form.pos(), shown.place);
    QVERIFY(form.StatusBar1->isHidden());
    QCOMPARE(compactWidth(form), 789);
}

void TestLayouts::ctrlTabIsAUserPageChange()
{
    ShownForm shown;
    TForm1& form = shown.form;
    QTest::keyClick(form.PageControl1, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet3);
    QCOMPARE(form.size(), QSize(789, 77));
    QTest::keyClick(form.PageControl1, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet1);
    QCOMPARE(form.size(), QSize(kWide, kNormalTabHeight + kStatusBar));
}

void TestLayouts::stripFollowsTheFontSizes_data()
{
    QTest::addColumn<int>("memoPixels");  // question memo font at 96 dpi
    QTest::addColumn<int>("labelPixels"); // answer label font at 96 dpi
    QTest::addColumn<int>("answerTop");
    QTest::addColumn<int>("tabHeight");

    QTest::newRow("M 60 (design), L 13 (design)") << 80 << 17 << 21 << 77;
    QTest::newRow("M 48, L 13") << 64 << 17 << 27 << 83;
    QTest::newRow("M 28, L 13") << 37 << 17 << 46 << 102;
    QTest::newRow("M 20, L 13") << 27 << 17 << 65 << 121;
    QTest::newRow("M 21, L 21 falls one below") << 28 << 28 << 99 << 169;
    QTest::newRow("M 7, L 7") << 9 << 9 << 100 << 146;
}

void TestLayouts::stripFollowsTheFontSizes()
{
    QFETCH(int, memoPixels);
    QFETCH(int, labelPixels);
    QFETCH(int, answerTop);
    QFETCH(int, tabHeight);

    ShownForm shown;
    TForm1& form = shown.form;
    setPixelSize(form.Memo2, memoPixels);
    setPixelSize(form.Label8, labelPixels);
    form.Button28Click(); // the arrangement toggle moves the label; the strip's formula wins
    clickTab(form, form.TabSheet3);

    QCOMPARE(form.Label8->y(), answerTop);
    QCOMPARE(form.PageControl1->size(), QSize(789, tabHeight));
    QCOMPARE(form.size(), QSize(789, tabHeight));
}

void TestLayouts::sizeButtonsOfTheStrip_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("memoPixels");
    QTest::addColumn<int>("answerTop");
    QTest::addColumn<int>("tabHeight");

    QTest::newRow("1: 48 pt") << QStringLiteral("Button33") << 64 << 27 << 83;
    QTest::newRow("2: 28 pt") << QStringLiteral("Button34") << 37 << 46 << 102;
    QTest::newRow("3: 20 pt") << QStringLiteral("Button35") << 27 << 65 << 121;
}

void TestLayouts::sizeButtonsOfTheStrip()
{
    QFETCH(QString, button);
    QFETCH(int, memoPixels);
    QFETCH(int, answerTop);
    QFETCH(int, tabHeight);

    ShownForm shown;
    TForm1& form = shown.form;
    clickTab(form, form.TabSheet3);
    QTest::mouseClick(form.findChild<QPushButton*>(button), Qt::LeftButton);

    QCOMPARE(form.Memo2->font().pixelSize(), memoPixels);
    QCOMPARE(form.Memo3->font().pixelSize(), memoPixels);
    QCOMPARE(form.Label8->y(), answerTop);
    QCOMPARE(form.size(), QSize(789, tabHeight));
    QCOMPARE(form.PageControl1->size(), form.size());
    QVERIFY(staysOnTop(form));
    QCOMPARE(form.pos(), shown.place);
}

void TestLayouts::fontButtonGivesBothLabelsTheChosenFont()
{
    ShownForm shown;
    TForm1& form = shown.form;
    clickTab(form, form.TabSheet3);

    platform::scriptFontDialogCancel();
    QTest::mouseClick(form.Button17, Qt::LeftButton);
    QCOMPARE(form.Label31->font().pixelSize(), 17);
    QCOMPARE(form.Label8->font().pixelSize(), 17);

    // The dialog reports its choice in points: 21 pt is 28 px at 96 dpi.
    QFont chosen(QStringLiteral("ＭＳ ゴシック"));
    chosen.setPointSize(21);
    platform::scriptFontDialog(chosen);
    QTest::mouseClick(form.Button17, Qt::LeftButton);

    for (QLabel* label : {form.Label31, form.Label8}) {
        QCOMPARE(label->font().family(), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(label->font().pixelSize(), 28);
    }
    // M = 60, L = 21: answer top 35, label band 35 px, 35 px for the tab row.
    QCOMPARE(form.Label8->y(), 35);
    QCOMPARE(form.size(), QSize(789, 105));
    QCOMPARE(form.PageControl1->size(), form.size());
}

void TestLayouts::draggedStripWidth_data()
{
    QTest::addColumn<QString>("pressedBeforeLeaving"); // empty: none
    QTest::addColumn<int>("remembered");

    QTest::newRow("leaving at once keeps the drag") << QString() << 900;
    QTest::newRow("Ft. cancelled undoes it") << QStringLiteral("Button17") << 789;
    QTest::newRow("1 undoes it") << QStringLiteral("Button33") << 789;
    QTest::newRow("2 undoes it") << QStringLiteral("Button34") << 789;
    QTest::newRow("3 undoes it") << QStringLiteral("Button35") << 789;
}

void TestLayouts::draggedStripWidth()
{
    QFETCH(QString, pressedBeforeLeaving);
    QFETCH(int, remembered);

    ShownForm shown;
    TForm1& form = shown.form;
    clickTab(form, form.TabSheet3);

    form.resize(900, 150); // the user drags the strip's corner
    QCOMPARE(form.PageControl1->size(), QSize(900, 77));
    QCOMPARE(compactWidth(form), 789);

    if (!pressedBeforeLeaving.isEmpty()) {
        platform::scriptFontDialogCancel();
        QTest::mouseClick(form.findChild<QPushButton*>(pressedBeforeLeaving), Qt::LeftButton);
        QCOMPARE(form.PageControl1->width(), 789);
        QCOMPARE(form.size(), form.PageControl1->size());
    }

    clickTab(form, form.TabSheet1);
    QCOMPARE(compactWidth(form), remembered);
    QCOMPARE(form.size(), QSize(kWide, kNormalTabHeight + kStatusBar));

    clickTab(form, form.TabSheet3);
    QCOMPARE(form.PageControl1->width(), remembered);
    QCOMPARE(form.width(), remembered);
    QCOMPARE(form.pos(), shown.place);
}

void TestLayouts::startFromTheLoadingPageKeepsTheNarrowLayout()
{
    QTemporaryDir dir;
    const QString path = testsupport::writeFile(
        dir.filePath(QStringLiteral("set.mon")),
        testsupport::monFile(QStringLiteral("l"), QStringLiteral("歴史"), {{QStringLiteral("q1"), QStringLiteral("a1")}}));
    ShownForm shown;
    TForm1& form = shown.form;
    testsupport::openThroughDialog(form, path, 2);
    form.StringGrid1SelectCell(1, 1);

    clickTab(form, form.TabSheet2);
    QTest::mouseClick(form.Button16, Qt::LeftButton);
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet1);
    QCOMPARE(form.PageControl1->width(), kNarrow);
    QCOMPARE(form.Memo2->width(), kNarrow - 12);
    QCOMPARE(form.size(), QSize(kNarrow, kNormalTabHeight + kStatusBar));

    QTest::mouseClick(form.bt_size1_8, Qt::LeftButton);
    QCOMPARE(form.PageControl1->width(), kWide);
    QCOMPARE(form.Memo2->width(), kWide - 12);
    QCOMPARE(form.Memo3->width(), kWide - 12);
    QCOMPARE(form.size(), QSize(kWide, kNormalTabHeight + kStatusBar));

    QTest::mouseClick(form.bt_size1_5, Qt::LeftButton);
    QCOMPARE(form.size(), QSize(kNarrow, kNormalTabHeight + kStatusBar));
    QCOMPARE(form.pos(), shown.place);
}

void TestLayouts::resizingOtherPagesChangesNothingInside_data()
{
    QTest::addColumn<QList<int>>("tabs");
    QTest::newRow("challenge at start") << QList<int>{};
    QTest::newRow("loading") << QList<int>{0};
    QTest::newRow("challenge") << QList<int>{0, 1};
    QTest::newRow("explanation") << QList<int>{3};
}

void TestLayouts::resizingOtherPagesChangesNothingInside()
{
    QFETCH(QList<int>, tabs);

    ShownForm shown;
    TForm1& form = shown.form;
    for (int index : tabs)
        clickTab(form, form.PageControl1->widget(index));
    const QRect tabControl = form.PageControl1->geometry();
    const QRect question = form.Memo2->geometry();
    const QRect answer = form.Memo3->geometry();

    for (const QSize size : {QSize(1200, 600), QSize(500, 200)}) {
        form.resize(size);
        QCOMPARE(form.PageControl1->geometry(), tabControl);
        QCOMPARE(form.Memo2->geometry(), question);
        QCOMPARE(form.Memo3->geometry(), answer);
        QCOMPARE(form.StatusBar1->geometry(), QRect(0, size.height() - kStatusBar, size.width(), kStatusBar));
    }
    QCOMPARE(compactWidth(form), 789);
}

void TestLayouts::clickOnTheCurrentTabChangesNothing()
{
    ShownForm shown;
    TForm1& form = shown.form;
    clickTab(form, form.TabSheet1); // at start: the design size stays
    QCOMPARE(form.PageControl1->size(), QSize(kWide, 413));
    QCOMPARE(form.size(), QSize(kWide, 413 + kStatusBar));

    clickTab(form, form.TabSheet3);
    form.resize(850, 77);
    clickTab(form, form.TabSheet3); // neither remembered nor laid out again
    QCOMPARE(compactWidth(form), 789);
    QCOMPARE(form.PageControl1->size(), QSize(850, 77));
}

void TestLayouts::programPageChangeRunsNoLayout()
{
    ShownForm shown;
    TForm1& form = shown.form;
    form.PageControl1->setCurrentWidget(form.TabSheet3);
    QCOMPARE(form.size(), QSize(kWide, 413 + kStatusBar));
    QVERIFY(!staysOnTop(form));
    QVERIFY(!form.StatusBar1->isHidden());

    form.PageControl1->setCurrentWidget(form.TabSheet1);
    clickTab(form, form.TabSheet3);
    form.resize(900, 77);
    form.PageControl1->setCurrentWidget(form.TabSheet2); // leaves the strip unremembered
    QCOMPARE(compactWidth(form), 789);
    QVERIFY(staysOnTop(form));
    QCOMPARE(form.size(), QSize(900, 77));
}

QTEST_MAIN(TestLayouts)
#include "test_layouts.moc"
