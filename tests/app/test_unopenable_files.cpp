// Files that cannot be opened, by every route that opens one: the open
// dialog (under each reader's entry), a drop, the command line, a document
// button and the mail template. Whatever stands at the name (nothing, a
// folder, a FIFO, a device, a file past the size limit, a file whose reads
// fail, a name no reader takes) the open error shows once, and when it shows nothing of the window
// has changed yet: the file is read whole before anything changes. A FIFO is
// refused without waiting for a writer, a device without reading from it;
// a question file named after the failing one still opens.

#include "app/Un_subri1.h"
#include "app/command_line.h"
#include "explanation/document_files.h"
#include "platform/platform.h"
#include "questions/mon_format.h"
#include "support/testsupport.h"
#include "widgets/StringGrid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

using namespace testsupport;

class TestUnopenableFiles : public QObject {
    Q_OBJECT
private slots:
    void refusedAndNothingChanges_data();
    void refusedAndNothingChanges();
};

namespace {

// A window with something in every part an open may change: a .5tq held,
// a .mon in row 1 appended to the table (its text in the line store), a CSV
// in row 2 read for its next append, a document in the plain viewer.
void fill(TForm1& form, const QTemporaryDir& dir)
{
    openThroughDialog(form, writeFile(dir.filePath(u"g.5tq"_qs), tqFile({{"G", 1}}, {{"Q", "A"}})), 1);
    openThroughDialog(form, writeFile(dir.filePath(u"a.mon"_qs), monFile(u"L"_qs, u"A"_qs, {{u"q"_qs, u"a"_qs}})), 2);
    openThroughDialog(form, writeFile(dir.filePath(u"b.csv"_qs), "r,b\n"), 3);
    form.StringGrid1SelectCell(1, 1);
    form.Edit14->setText(dir.path() + u'/');
    writeFile(dir.filePath(u"QLOPLIST.DOC"_qs), cp932(u"所在\r\n"_qs));
    form.Button37Click();
}

} // namespace

void TestUnopenableFiles::refusedAndNothingChanges_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("fileName"); // the name the route opens: the dialog's under entry 1–3
    QTest::addColumn<int>("entry");
    QTest::addColumn<qint64>("maxBytes");  // its reader's size limit
    const qint64 text = questions::kMaxMonFileBytes, document = explanation::kMaxDocumentBytes;
    const std::tuple<const char*, const char*, int, qint64> routes[] = {
        {"dialog .5tq", "input", 1, 0}, {"dialog .mon", "input", 2, text}, {"dialog CSV", "input", 3, text},
        {"drop", "set.csv", 0, text}, {"command line", "set.mon", 0, text},
        {"document", "mrld_D01.doc", 0, document}, {"template", "MRLDmail.DOC", 0, document}};
    for (const auto& [route, fileName, entry, maxBytes] : routes) {
        for (const char* kind : {"missing", "folder", "FIFO", "device", "too large", "unreadable", "empty name", "no reader"}) {
            const QLatin1String k(kind);
            // The .5tq reader reads only the records it needs (test_bad_input);
            // only the dialog names no file, only a name says which reader reads it.
            if ((entry == 1 && (k == "too large" || k == "unreadable")) || (k == "empty name" && entry == 0)
                || (k == "no reader" && (entry != 0 || maxBytes != text)))
                continue;
            QTest::addRow("%s, %s", route, kind) << route << QString(k) << fileName << entry << maxBytes;
        }
    }
}

void TestUnopenableFiles::refusedAndNothingChanges()
{
    QFETCH(QString, route);
    QFETCH(QString, kind);
    QFETCH(QString, fileName);
    QFETCH(int, entry);
    QFETCH(qint64, maxBytes);
    const QString startDirectory = QDir::currentPath();
    const auto restore = qScopeGuard([&] {
        QDir::setCurrent(startDirectory);
        platform::setErrorSink({});
    });

    QTemporaryDir dir;
    TForm1 form;
    fill(form, dir);
    const QString good = writeFile(dir.filePath(u"next.mon"_qs), monFile(u"L"_qs, u"Next"_qs, {}));
    QString path = kind == u"empty name" ? QString() : dir.filePath(kind == u"no reader" ? u"notes.doc"_qs : fileName);
    std::unique_ptr<Fifo> fifo;
    if (kind == u"folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == u"FIFO") {
        fifo = std::make_unique<Fifo>(path);
    } else if (kind == u"device") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == u"unreadable") { // opens, but every read fails, for every user
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
    } else if (kind == u"no reader") {
        writeFile(path, monFile(u"L"_qs, u"S"_qs, {}));
    } else if (kind == u"too large") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(maxBytes + 1)); // sparse: no disk used
    }

    // The window as it stands when the error shows.
    const QStringList before = windowSnapshot(form);
    const int textFiles = form.textFileCount;
    QStringList errors;
    QList<QStringList> statesAtErrors;
    platform::setErrorSink([&](const QString&, const QString& text) {
        errors << text;
        statesAtErrors << windowSnapshot(form);
    });
    const qint64 memoryBefore = peakMemoryKb();
    QElapsedTimer clock;
    clock.start();
    if (entry > 0) {
        platform::scriptOpenDialog(path, entry);
        form.Button3->click();
        platform::scriptOpenDialog(good, entry);
        form.Button3->click();
    } else if (route == u"drop") {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(good)});
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&form, &drop);
    } else if (route == u"command line") {
        app::openCommandLineFiles(form, {QStringLiteral("mireldo"), path, good});
    } else {
        form.findChild<QPushButton*>(route == u"document" ? u"Button30"_qs : u"Button39"_qs)->click();
    }
    QCoreApplication::processEvents();

    // Well below the writer's release of a FIFO: an open that waits fails here.
    QVERIFY2(clock.elapsed() < kFifoReleaseSeconds * 1000 / 2, "refused without waiting");
    QVERIFY2(peakMemoryKb() - memoryBefore < 64 * 1024, "nothing was read");
    QCOMPARE(errors, QStringList{platform::errorBoxText(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path))});
    QCOMPARE(statesAtErrors.value(0), before);
    if (maxBytes == explanation::kMaxDocumentBytes) {
        // The document's viewer is shown, holding what it held; the save
        // button only with the template.
        QCOMPARE(form.RichEdit1->isHidden(), route == u"template");
        QCOMPARE(form.Button41->isHidden(), route == u"document");
        QCOMPARE(windowSnapshot(form), before);
    } else {
        // The next file takes the row it would have taken anyway.
        QCOMPARE(form.textFileCount, textFiles + 1);
        QCOMPARE(form.StringGrid1->cell(1, textFiles + 1), QStringLiteral("Next"));
    }
}

QTEST_MAIN(TestUnopenableFiles)
#include "test_unopenable_files.moc"
