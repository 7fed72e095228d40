// The shipped sample sets on a real X server: opened with the real open
// button (scripted dialog), their list rows clicked with the mouse, the
// filled question table dragged by a row. Screenshots land beside the test
// program in "screenshots/".

#include "app/Un_subri1.h"
#include "widgets/PageControl.h"
#include "widgets/StringGrid.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QWindow>

namespace {

void saveScreenshot(TForm1& form, const QString& name)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QPixmap picture = testsupport::windowOnScreen(form);
    QVERIFY(!picture.isNull());
    QVERIFY(picture.save(folder + u'/' + name));
}

void openWithTheButton(TForm1& form, const QString& path, int filterIndex)
{
    platform::scriptOpenDialog(path, filterIndex);
    QTest::mouseClick(form.Button3, Qt::LeftButton);
}

using testsupport::clickListRow;

} // namespace

class TestSamplesXvfb : public QObject {
    Q_OBJECT
private slots:
    void samplesFillTheTable();
};

void TestSamplesXvfb::samplesFillTheTable()
{
    const QString kencho = QFINDTESTDATA("../../data/kencho.mon");
    const QString sample = QFINDTESTDATA("../../data/sample.5tq");
    QVERIFY(!kencho.isEmpty() && !sample.isEmpty());

    TForm1 form;
    form.move(20, 20);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    testsupport::clickTab(form, form.TabSheet2);
    QTRY_COMPARE(form.PageControl1->currentWidget(), form.TabSheet2);

    openWithTheButton(form, kencho, 2);
    QCOMPARE(form.StringGrid1->cell(1, 1), QStringLiteral("都道府県と県庁所在地"));
    clickListRow(form, 1);
    const int textQuestions = form.StringGrid2->rowCount() - 2;
    QVERIFY(textQuestions >= 30);
    QCOMPARE(form.StringGrid2->cell(3, 1), QStringLiteral("都道府県と県庁所在地"));

    openWithTheButton(form, sample, 1);
    QCOMPARE(form.StringGrid1->cell(0, 1), QStringLiteral("ジャンル1"));
    saveScreenshot(form, QStringLiteral("samples_list.png"));
    clickListRow(form, 1);
    clickListRow(form, 3);
    const int genre1 = form.StringGrid1->cell(2, 1).toInt();
    const int genre3 = form.StringGrid1->cell(2, 3).toInt();
    QCOMPARE(form.StringGrid2->rowCount() - 2, textQuestions + genre1 + genre3);
    QCOMPARE(form.StringGrid2->cell(3, textQuestions + 1), form.StringGrid1->cell(1, 1));
    QCOMPARE(form.Edit8->text(), QString::number(textQuestions + genre1 + genre3));
    QVERIFY(form.Button16->isEnabled());

    // A row dragged by its number cell with the real mouse.
    platform::StringGrid* table = form.StringGrid2;
    const QString third = table->cell(1, 3);
    const QPoint from = table->visualRect(table->model()->index(3, 0)).center();
    const QPoint to = table->visualRect(table->model()->index(1, 0)).center();
    QTest::mouseMove(table->viewport(), from);
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(table->viewport(), to);
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, to);
    QCOMPARE(table->cell(1, 1), third);
    QTRY_VERIFY(!form.Button15->isHidden());
    saveScreenshot(form, QStringLiteral("samples_table.png"));
}

QTEST_MAIN(TestSamplesXvfb)
#include "test_samples_xvfb.moc"
