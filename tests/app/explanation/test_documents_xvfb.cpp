// The explanation page in a real window: the user selects the page, reads a
// rich document and the mail template with mouse clicks, types into the
// template and saves it. With MIRELDO_SCREENSHOTS set to a folder, the
// window is saved there as explanation-rich.png and explanation-mail.png.

#include "app/Un_subri1.h"
#include "widgets/PageControl.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

class TestDocumentsXvfb : public QObject {
    Q_OBJECT

private slots:
    void readAndSaveWithTheMouse();

private:
    static void screenshot(TForm1& form, const QString& name);
};

void TestDocumentsXvfb::screenshot(TForm1& form, const QString& name)
{
    const QString folder = qEnvironmentVariable("MIRELDO_SCREENSHOTS");
    QTest::qWait(50); // let the viewers lay out and show their scroll bars
    if (!folder.isEmpty())
        QVERIFY(form.grab().save(QDir(folder).filePath(name)));
}

void TestDocumentsXvfb::readAndSaveWithTheMouse()
{
    // The shipped documents, with the template in a folder of its own so the
    // shipped one is never written.
    const QString shipped = QFINDTESTDATA("../../data/mrld_D01.doc");
    QVERIFY(!shipped.isEmpty());
    QTemporaryDir folder;
    for (const char* name : {"mrld_D01.doc", "MRLDmail.DOC"})
        QVERIFY(QFile::copy(QFileInfo(shipped).dir().filePath(name), folder.filePath(name)));

    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Edit14->setText(folder.path() + u'/');

    QTabBar* tabs = form.PageControl1->findChild<QTabBar*>();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet4);

    QTest::mouseClick(form.Button30, Qt::LeftButton);
    QVERIFY(form.RichEdit1->isVisible());
    QVERIFY(!form.RichEdit2->isVisible());
    QVERIFY(form.RichEdit1->toPlainText().startsWith(QStringLiteral("α波θ波の利用")));
    screenshot(form, QStringLiteral("explanation-rich.png"));

    QTest::mouseClick(form.Button39, Qt::LeftButton);
    QVERIFY(form.RichEdit2->isVisible());
    QVERIFY(!form.RichEdit1->isVisible());
    QVERIFY(form.Button41->isVisible());
    QVERIFY(form.RichEdit2->toPlainText().startsWith(QStringLiteral("宛先：")));
    screenshot(form, QStringLiteral("explanation-mail.png"));

    // Typed at the end of the template, then saved with the save button.
    QTest::mouseClick(form.RichEdit2->viewport(), Qt::LeftButton);
    QVERIFY(form.RichEdit2->hasFocus());
    QTest::keyClick(form.RichEdit2, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(form.RichEdit2, Qt::Key_Return);
    QTest::keyClicks(form.RichEdit2, QStringLiteral("P.S. test"));
    QTest::mouseClick(form.Button41, Qt::LeftButton);

    QFile saved(folder.filePath("MRLDmail.DOC"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().endsWith("\r\nP.S. test"));
}

QTEST_MAIN(TestDocumentsXvfb)
#include "test_documents_xvfb.moc"
