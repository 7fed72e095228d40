// The command line's rules: which arguments are options, the toolkit's or
// unknown, and which are files (read directly), and what the real program
// does with them: its exit status and what it prints, with and without a
// display. The window starts on the loading page when a named file opened.

#include "app/Un_subri1.h"
#include "app/command_line.h"
#include "platform/session_platform.h"
#include "widgets/PageControl.h"
#include "widgets/StringGrid.h"
#include "support/testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void argumentsRead_data();
    void argumentsRead();
    void programRun_data();
    void programRun();
    void startPage_data();
    void startPage();
};

// The arguments after the program's name: request, unknown option, files,
// how many the toolkit sees.
void TestCommandLine::argumentsRead_data()
{
    for (const char* column : {"line", "request", "unknown", "files"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<int>("toolkitCount");
    const auto row = [](const char* line, const char* request, const char* unknown, const char* files, int count) {
        QTest::newRow(line) << QString::fromUtf8(line) << QString::fromUtf8(request) << QString::fromUtf8(unknown)
                            << QString::fromUtf8(files) << count;
    };
    row("-style fusion a.mon --platform offscreen -display :1 -reverse b.csv", "", "", "a.mon b.csv", 10);
    row("-style=fusion --sync -qmljsdebugger=port:1 a.mon", "", "", "a.mon", 5);
    row("a.mon -style", "", "", "a.mon", 3);
    row("-style fusion -- -odd.mon --help -- -style", "", "", "-odd.mon --help -- -style", 3);
    row("a.mon -h", "usage", "", "a.mon", 3);
    row("--version --help", "version", "", "", 3);
    row("--help --bogus", "usage", "", "", 3);
    row("--bogus --help", "unknown", "--bogus", "", 3);
    row("--verison", "unknown", "--verison", "", 2);
    row("-x a.mon", "unknown", "-x", "a.mon", 3);
    row("-", "unknown", "-", "", 2);
    row("-stylefusion", "unknown", "-stylefusion", "", 2);
    row("-bogus=1", "unknown", "-bogus=1", "", 2);
    row("-- --bogus", "", "", "--bogus", 1);
}

void TestCommandLine::argumentsRead()
{
    QFETCH(QString, line);
    QFETCH(QString, request);
    QFETCH(QString, unknown);
    QFETCH(QString, files);
    QFETCH(int, toolkitCount);
    const app::CommandLine read = app::parseCommandLine((QStringLiteral("mireldo ") + line).split(u' '));
    const QStringList requests = {QString(), QStringLiteral("usage"), QStringLiteral("version"),
                                  QStringLiteral("unknown")};
    QCOMPARE(requests.value(int(read.request)), request);
    QCOMPARE(read.unknownOption, unknown);
    QCOMPARE(read.files, files.split(u' ', Qt::SkipEmptyParts));
    QCOMPARE(read.toolkitArgumentCount, toolkitCount);
}

// The real program, run in a folder holding "-odd.csv". "offscreen" runs it
// on the offscreen platform until its first frame, "none" with no display
// and no platform chosen; a last argument ">FILE" sends its output there. `out` is the start of standard output; for a
// window that started, the folder it printed (the last opened file's).
void TestCommandLine::programRun_data()
{
    for (const char* column : {"arguments", "display", "out", "err"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<int>("status");
    const auto row = [](const char* name, const char* arguments, const char* display, int status,
                        const char* out, const QString& err) {
        QTest::newRow(name) << QString::fromUtf8(arguments) << QString::fromUtf8(display) << QString::fromUtf8(out)
                            << err << status;
    };
    const auto unknown = [](const char* option) { return app::unknownOptionText(QString::fromUtf8(option)); };
    const QString noDisplay = QString::fromUtf8(platform::noDisplayText());
    row("help, no display", "--help", "none", 0, "使い方: mireldo [オプション...] [問題ファイル...]\n", {});
    row("version, no display", "--version", "none", 0, "mireldo " MIRELDO_VERSION "\n", {});
    row("unknown long", "--bogus", "none", 2, "", unknown("--bogus"));
    row("misspelt version", "--verison", "offscreen", 2, "", unknown("--verison"));
    row("unknown short, before a file", "-x -odd.csv", "offscreen", 2, "", unknown("-x"));
    row("file without display", "sets.mon", "none", 1, "", noDisplay);
    row("toolkit options and a file after --", "-style fusion -reverse -- -odd.csv", "offscreen", 0, "folder", {});
    row("toolkit's platform without display", "-platform offscreen", "none", 0, "folder", {});
    row("version to a full disk", "--version >/dev/full", "none", 1, "", QStringLiteral("mireldo: 標準出力に書き込めませんでした: No space left on device\n"));
}

void TestCommandLine::programRun()
{
    QFETCH(QString, arguments);
    QFETCH(QString, display);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, status);
    QTemporaryDir start;
    testsupport::writeFile(start.filePath(QStringLiteral("-odd.csv")), "q,a\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (display == u"offscreen")
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("MIRELDO_EXIT_AFTER_START_MS"), QStringLiteral("1"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(start.path());
    QStringList argumentList = arguments.split(u' ');
    if (argumentList.last().startsWith(u'>'))
        program.setStandardOutputFile(argumentList.takeLast().mid(1));
    program.start(QStringLiteral(MIRELDO_PROGRAM), argumentList);
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    const QString printed = QString::fromUtf8(program.readAllStandardOutput());
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitCode(), status);
    if (out == u"folder")
        QVERIFY2(printed.trimmed().endsWith(QStringLiteral(" directory=") + QDir(start.path()).canonicalPath()), qPrintable(printed));
    else
        QVERIFY2(out.isEmpty() ? printed.isEmpty() : printed.startsWith(out), qPrintable(printed));
    if (status != 0)
        QCOMPARE(errors, err);
}

// Files named at start: the page the window shows once they have been
// opened, and its size against the same page chosen by a click on its tab.
void TestCommandLine::startPage_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("loadingPage");
    QTest::newRow("none") << QStringList() << false;
    QTest::newRow("one that cannot be read") << QStringList{QStringLiteral("missing.csv")} << false;
    QTest::newRow("one of two opened") << QStringList{QStringLiteral("missing.csv"), QStringLiteral("a.csv")} << true;
}

void TestCommandLine::startPage()
{
    QFETCH(QStringList, files);
    QFETCH(bool, loadingPage);
    QTemporaryDir folder;
    testsupport::writeFile(folder.filePath(QStringLiteral("a.csv")), "q,a\n");
    QStringList arguments{QStringLiteral("mireldo")};
    for (const QString& file : files)
        arguments << folder.filePath(file);
    testsupport::ErrorBoxes errors;

    TForm1 form;
    form.show();
    TForm1 clicked;
    clicked.show();
    testsupport::clickTab(clicked, clicked.TabSheet2);
    app::openCommandLineFiles(form, arguments);
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet1); // nothing before the event loop runs
    QTRY_COMPARE(errors.texts.size() + form.StringGrid1->cell(3, 1).size() > 0, !files.isEmpty());
    QCOMPARE(form.PageControl1->currentWidget(), loadingPage ? form.TabSheet2 : form.TabSheet1);
    if (loadingPage)
        QCOMPARE(form.size(), clicked.size());
    else
        QVERIFY(form.size() != clicked.size());
}

QTEST_MAIN(TestCommandLine)
#include "test_command_line.moc"
