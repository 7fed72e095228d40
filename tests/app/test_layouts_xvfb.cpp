// The layouts on a real X server: clicks on the real tabs switch the real
// window between the wide layout, the narrow layout and the always-on-top
// strip, at the same place. Screenshots of the three land beside the test
// program in "screenshots/".

#include "app/Un_subri1.h"
#include "support/testsupport.h"
#include "widgets/PageControl.h"

#include <QDir>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QWindow>

namespace {

using testsupport::clickTab;

// The window as the X server shows it, saved as a picture.
void saveScreenshot(TForm1& form, const QString& name)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QPixmap picture = testsupport::windowOnScreen(form);
    QVERIFY(!picture.isNull());
    QVERIFY(picture.save(folder + u'/' + name));
}

} // namespace

class TestLayoutsXvfb : public QObject {
    Q_OBJECT
private slots:
    void realTabsSwitchTheRealWindow();
};

void TestLayoutsXvfb::realTabsSwitchTheRealWindow()
{
    TForm1 form;
    form.move(20, 20);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QPoint place = form.windowHandle()->position();

    struct Step {
        QWidget* page;
        QSize window;
        bool onTop;
        const char* screenshot;
    };
    const QList<Step> steps{
        {form.TabSheet3, QSize(789, 77), true, "layout_strip.png"},
        {form.TabSheet2, QSize(782, 430), false, "layout_narrow.png"},
        {form.TabSheet1, QSize(997, 430), false, "layout_wide.png"},
        {form.TabSheet3, QSize(789, 77), true, nullptr},
    };
    for (const Step& step : steps) {
        clickTab(form, step.page);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_COMPARE(form.windowHandle()->geometry().size(), step.window);
        QCOMPARE(form.size(), step.window);
        QCOMPARE(form.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), step.onTop);
        QCOMPARE(form.StatusBar1->isHidden(), step.onTop);
        QCOMPARE(form.windowHandle()->position(), place);
        if (step.screenshot) {
            saveScreenshot(form, QString::fromLatin1(step.screenshot));
            QCOMPARE(form.windowHandle()->geometry().size(), step.window);
        }
    }

    // The strip's border dragged through the window system: the tab control
    // follows in width only, and the width is remembered on leaving the page.
    form.windowHandle()->resize(900, 150);
    QTRY_COMPARE(form.PageControl1->size(), QSize(900, 77));
    clickTab(form, form.TabSheet1);
    QTRY_COMPARE(form.windowHandle()->geometry().size(), QSize(997, 430));
    clickTab(form, form.TabSheet3);
    QTRY_COMPARE(form.windowHandle()->geometry().size(), QSize(900, 77));
    QCOMPARE(form.windowHandle()->position(), place);
}

QTEST_MAIN(TestLayoutsXvfb)
#include "test_layouts_xvfb.moc"
