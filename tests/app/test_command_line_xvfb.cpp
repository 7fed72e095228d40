// Question files named on the command line, on a real X server: the window
// is shown first, then the files open in order, relative names taken from
// the folder the program was started in; the program directory stays that
// start folder. A screenshot of the filled list lands beside the test
// program in "screenshots/".

#include "app/Un_subri1.h"
#include "app/command_line.h"
#include "widgets/StringGrid.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLineXvfb : public QObject {
    Q_OBJECT
private slots:
    void filesOnTheCommandLineOpenInOrder();
};

void TestCommandLineXvfb::filesOnTheCommandLineOpenInOrder()
{
    QTemporaryDir start;
    const QString sets = start.filePath(QStringLiteral("sets"));
    QVERIFY(QDir().mkpath(sets));
    for (const char* name : {"sample.5tq", "kencho.mon"})
        QVERIFY(QFile::copy(QFINDTESTDATA(QStringLiteral("../../data/") + QLatin1String(name)),
                            sets + u'/' + QLatin1String(name)));
    const QString startDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(start.path()));

    TForm1 form;
    form.move(20, 20);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString programDirectory = form.Edit14->text();
    QCOMPARE(programDirectory, QDir(start.path()).canonicalPath() + u'/');

    // Options are the toolkit's; an empty argument names no file.
    app::openCommandLineFiles(form, {QStringLiteral("mireldo"), QStringLiteral("-reverse"),
                                     QStringLiteral("sets/sample.5tq"), QString(),
                                     QStringLiteral("sets/kencho.mon")});
    QCOMPARE(form.StringGrid1->cell(0, 2), QString()); // nothing before the event loop runs

    // The binary file filled the eight genre rows, the text file then took row 1.
    QTRY_COMPARE(form.StringGrid1->cell(3, 1), sets + QStringLiteral("/kencho.mon"));
    QCOMPARE(form.StringGrid1->cell(1, 1), QStringLiteral("都道府県と県庁所在地"));
    QCOMPARE(form.StringGrid1->cell(0, 2), QStringLiteral("ジャンル2"));
    QCOMPARE(form.Edit3->text(), sets + QStringLiteral("/kencho.mon"));
    QCOMPARE(QDir::currentPath(), sets); // the open dialog's rule: the last file's folder
    QCOMPARE(form.Edit14->text(), programDirectory); // documents are still found where it started

    testsupport::clickTab(form, form.TabSheet2);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(testsupport::windowOnScreen(form).save(folder + QStringLiteral("/command_line.png")));
    QDir::setCurrent(startDirectory);
}

QTEST_MAIN(TestCommandLineXvfb)
#include "test_command_line_xvfb.moc"
