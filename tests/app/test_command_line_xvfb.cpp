// Which arguments are files; "--help" and "--version" from the real program.
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
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLineXvfb : public QObject {
    Q_OBJECT
private slots:
    void argumentsRead_data();
    void argumentsRead();
    void programPrintsWithoutDisplay();
    void filesOnTheCommandLineOpenInOrder();
};

// The arguments after the program's name: request, files, how many the toolkit sees.
void TestCommandLineXvfb::argumentsRead_data()
{
    for (const char* column : {"line", "request", "files"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<int>("toolkitCount");
    const auto row = [](const char* line, const char* request, const char* files, int count) {
        QTest::newRow(line) << QString::fromUtf8(line) << QString::fromUtf8(request)
                            << QString::fromUtf8(files) << count;
    };
    row("-style fusion a.mon --platform offscreen -display :1 -reverse b.csv", "", "a.mon b.csv", 10);
    row("a.mon -style", "", "a.mon", 3);
    row("-style fusion -- -odd.mon --help -- -style", "", "-odd.mon --help -- -style", 3);
    row("a.mon -h", "usage", "a.mon", 3);
    row("--version --help", "version", "", 3);
}

void TestCommandLineXvfb::argumentsRead()
{
    QFETCH(QString, line);
    QFETCH(QString, request);
    QFETCH(QString, files);
    QFETCH(int, toolkitCount);
    const app::CommandLine read = app::parseCommandLine((QStringLiteral("mireldo ") + line).split(u' '));
    const QStringList requests = {QString(), QStringLiteral("usage"), QStringLiteral("version")};
    QCOMPARE(requests.value(int(read.request)), request);
    QCOMPARE(read.files, files.split(u' ', Qt::SkipEmptyParts));
    QCOMPARE(read.toolkitArgumentCount, toolkitCount);
}

void TestCommandLineXvfb::programPrintsWithoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    const auto run = [&program](const char* option) {
        program.start(QStringLiteral(MIRELDO_PROGRAM), {QLatin1String(option)});
        return program.waitForFinished(30000) ? program.exitCode() : -1;
    };
    QCOMPARE(run("--help"), 0);
    QVERIFY(program.readAllStandardOutput().startsWith("使い方: mireldo [オプション...] [問題ファイル...]\n"));
    QCOMPARE(run("--version"), 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray("mireldo " MIRELDO_VERSION "\n"));
    QCOMPARE(program.readAllStandardError(), QByteArray()); // no display looked for
    program.setStandardOutputFile(QStringLiteral("/dev/full")); // a failed write is no success
    QCOMPARE(run("--version"), 1);
}

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
    app::openCommandLineFiles(form, {QStringLiteral("mireldo"), QStringLiteral("--an-option"),
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
