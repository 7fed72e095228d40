// Bad input from end to end. Every number field the program reads gets texts
// that are no usable number, through the event that makes the program read
// it; question files come empty, cut short, huge or with bytes that are not
// code page 932 (names that cannot be opened: test_unopenable_files). Each case gives its designed error,
// once per event, or its decided result, and the window goes on working
// with the question table intact.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "widgets/StringGrid.h"
#include "text/codepage.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTest>

using testsupport::ErrorBoxes;

namespace {

uint32_t fakeNow = 100000;

QString notAnInteger(const QString& text)
{
    return platform::errorBoxText(QStringLiteral("'%1' は整数ではありません").arg(text));
}
QString divisionByZero()
{
    return platform::errorBoxText(QStringLiteral("0 による除算"));
}

const QList<QPair<QString, QString>> kQuestions = {
    {QStringLiteral("Q1"), QStringLiteral("A1")}, {QStringLiteral("Q2"), QStringLiteral("A2")},
    {QStringLiteral("Q3"), QStringLiteral("A3")}, {QStringLiteral("Q4"), QStringLiteral("A4")},
    {QStringLiteral("Q5"), QStringLiteral("A5")},
};

// A window with five questions loaded and presented at one tick per answer
// span and two per question period, so that every second tick flashes.
struct Window {
    QTemporaryDir dir;
    TForm1 form;

    Window()
    {
        const QString path = testsupport::writeFile(
            dir.filePath(QStringLiteral("set.mon")),
            testsupport::monFile(QStringLiteral("L"), QStringLiteral("S"), kQuestions));
        testsupport::openThroughDialog(form, path, 2);
        form.StringGrid1SelectCell(1, 1);
        put(form.Edit4, QStringLiteral("1"));
        put(form.Edit5, QStringLiteral("2"));
        form.Button16->click();
    }

    // A text as it may stand in a field, without its change handler.
    static void put(QLineEdit* field, const QString& text)
    {
        const QSignalBlocker blocker(field);
        field->setText(text);
    }
    // The user's edit: the field's change handler runs through the event.
    static void type(QLineEdit* field, const QString& text) { field->setText(text); }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) {
            fakeNow += 25;
            emit form.Timer1->timeout();
        }
    }

    // The question table still holds the five questions in their rows.
    bool tableIntact() const
    {
        const platform::StringGrid* table = form.StringGrid2;
        if (table->rowCount() != kQuestions.size() + 2)
            return false;
        for (int row = 1; row <= kQuestions.size(); ++row) {
            if (table->cell(1, row) != kQuestions[row - 1].first
                || table->cell(2, row) != kQuestions[row - 1].second)
                return false;
        }
        return true;
    }

    // With usable fields again the presentation goes on: after a restart
    // two ticks flash the answer of a question of the range.
    bool keepsPresenting()
    {
        type(form.Ed1, QStringLiteral("1"));
        put(form.Edit4, QStringLiteral("1"));
        put(form.Edit5, QStringLiteral("2"));
        type(form.Edit6, QStringLiteral("1"));
        type(form.Edit8, QStringLiteral("5"));
        form.currentQuestion = 1;
        form.Button1->click();
        ticks(2);
        return form.Edit13->text() == QLatin1String("1") && !form.Memo3->isHidden()
            && form.Memo3->toPlainText() == QLatin1String("A1");
    }
};

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void numberFields_data();
    void numberFields();
    void tickIntervalThatHoldsTheTicksBack_data();
    void tickIntervalThatHoldsTheTicksBack();

    void emptyAndTruncatedFiles_data();
    void emptyAndTruncatedFiles();
    void binaryFileReadOnlyAsNeeded_data();
    void binaryFileReadOnlyAsNeeded();
    void bytesThatAreNotCodePage932_data();
    void bytesThatAreNotCodePage932();
};

void TestBadInput::initTestCase()
{
    platform::setTickCountSource([] { return fakeNow; });
    platform::setBeepSink([](uint32_t) {});
}

void TestBadInput::cleanupTestCase()
{
    platform::setTickCountSource({});
    platform::setBeepSink({});
}

// Which event reads each field, and what it reports:
//   Ed1     the restart (GO): non-integers stop it; 0 and -1 are taken and
//           hold the ticks back (see the next test)
//   Edit4   the answer span, typed, then read by every tick: reported by the
//           first tick only; 0 and below as division by zero
//   Edit5   the question period, typed (its change handler reads it), then
//           read by the ticks at multiples of the span: once each
//   Edit6   the range start, typed, then read at every flash in random order
//           and by Start: once per event
//   Edit8   the range end, typed, then read at every flash in sequential
//           order: once per event
//   Label2  the restart time, read by the measurement at a flash
//   Label4  the nominal elapsed time, read by the measurement, which every
//           tick writes first: only a click of the hidden But4 can meet it
void TestBadInput::numberFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("reports");

    const QStringList fields = {QStringLiteral("Ed1"),   QStringLiteral("Edit4"),  QStringLiteral("Edit5"),
                                QStringLiteral("Edit6"), QStringLiteral("Edit8"),  QStringLiteral("Label2"),
                                QStringLiteral("Label4")};
    const QStringList texts = {QString(), QStringLiteral("abc"), QStringLiteral("-1"), QStringLiteral("0"),
                               QStringLiteral("2147483648"), QStringLiteral("１２")};
    for (const QString& field : fields) {
        for (const QString& text : texts) {
            const bool integer = text == QLatin1String("-1") || text == QLatin1String("0");
            QStringList reports;
            if (field == QLatin1String("Edit4"))
                reports = {integer ? divisionByZero() : notAnInteger(text)};
            else if (field == QLatin1String("Edit5"))
                reports = integer ? QStringList{divisionByZero()}
                                  : QStringList{notAnInteger(text), notAnInteger(text)};
            else if (field == QLatin1String("Edit6"))
                reports = integer ? QStringList{}
                                  : QStringList{notAnInteger(text), notAnInteger(text), notAnInteger(text)};
            else if (field == QLatin1String("Edit8"))
                reports = integer ? QStringList{} : QStringList{notAnInteger(text), notAnInteger(text)};
            else if (!integer)
                reports = {notAnInteger(text)};
            const QString row = field + QLatin1Char(' ') + (text.isEmpty() ? QStringLiteral("empty") : text);
            QTest::newRow(qPrintable(row)) << field << text << reports;
        }
    }
}

void TestBadInput::numberFields()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QStringList, reports);

    Window w;
    TForm1& form = w.form;
    ErrorBoxes boxes;

    if (field == QLatin1String("Ed1")) {
        Window::type(form.Ed1, text);
        form.Button1->click();
        QCOMPARE(form.restartTickCount, 0);
    } else if (field == QLatin1String("Edit4")) {
        Window::type(form.Edit4, text); // aligning reads the up-down: no report
        QCOMPARE(boxes.texts, QStringList{});
        w.ticks(20);
        QCOMPARE(form.Label4->text(), QString::number(20 * form.Timer1->interval())); // counting goes on
    } else if (field == QLatin1String("Edit5")) {
        Window::type(form.Edit5, text);
        w.ticks(20);
    } else if (field == QLatin1String("Edit6")) {
        form.RadioButton2->setChecked(true); // random order reads the start
        Window::type(form.Edit6, text);
        w.ticks(20);
        form.Button16->click();
    } else if (field == QLatin1String("Edit8")) {
        form.RadioButton1->setChecked(true); // sequential order reads the end
        Window::type(form.Edit8, text);
        w.ticks(20);
    } else if (field == QLatin1String("Label2")) {
        w.ticks(1); // a refresh: the next tick flashes
        form.Label2->setText(text);
        w.ticks(1);
    } else {
        form.Label4->setText(text);
        form.But4->click();
    }

    QCOMPARE(boxes.texts, reports);
    QVERIFY(w.tableIntact());
    QVERIFY(w.keepsPresenting());
    QCOMPARE(boxes.texts, reports); // nothing more once the fields are usable
}

// A typed tick interval of 0 or below is taken by the restart: the timer is
// enabled but delivers no ticks until a restart with a positive interval.
void TestBadInput::tickIntervalThatHoldsTheTicksBack_data()
{
    QTest::addColumn<int>("interval");
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
    QTest::newRow("lowest") << int(INT32_MIN);
}

void TestBadInput::tickIntervalThatHoldsTheTicksBack()
{
    QFETCH(int, interval);
    Window w;
    ErrorBoxes boxes;
    Window::type(w.form.Ed1, QString::number(interval));
    w.form.Button1->click();
    QCOMPARE(w.form.Timer1->interval(), interval);
    QVERIFY(w.form.Timer1->isActive());
    QCOMPARE(w.form.Timer1->period(), 0);
    QCOMPARE(w.form.Timer1->remainingTime(), -1);

    Window::type(w.form.Ed1, QStringLiteral("1"));
    w.form.Button1->click();
    QCOMPARE(w.form.Timer1->period(), int(platform::PresentationTimer::GranularityMs));
    QCOMPARE(boxes.texts, QStringList{});
}

// Files that open but hold less than their layout: the bytes present are
// read, the rest is as if empty; no report.
void TestBadInput::emptyAndTruncatedFiles_data()
{
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QStringList>("appended"); // question/answer pairs

    QTest::newRow(".5tq empty") << 1 << QByteArray() << QString() << QStringList{};
    const QByteArray full = testsupport::tqFile({{"Genre", 2}}, {{"first", "one"}, {"second", "two"}});
    QTest::newRow(".5tq cut inside the genre name") << 1 << full.left(3) << QStringLiteral("Gen") << QStringList{};
    QTest::newRow(".5tq cut before the count") << 1 << full.left(19) << QStringLiteral("Genre") << QStringList{};
    QTest::newRow(".5tq cut inside the second question")
        << 1 << full.left(2048 + 256 + 3) << QStringLiteral("Genre")
        << QStringList{QStringLiteral("first"), QStringLiteral("one"), QStringLiteral("sec"), QString()};

    QTest::newRow(".mon empty") << 2 << QByteArray() << QString() << QStringList{};
    const QByteArray mon = testsupport::monFile(QStringLiteral("L"), QStringLiteral("Set"),
                                                {{QStringLiteral("q1"), QStringLiteral("a1")},
                                                 {QStringLiteral("question2"), QStringLiteral("a2")}});
    QTest::newRow(".mon header only") << 2 << mon.left(mon.indexOf("\r\n", mon.indexOf("\r\n") + 2) + 2)
                                      << QStringLiteral("Set") << QStringList{};
    // The open record is kept; its quoted field loses its last byte as always.
    QTest::newRow(".mon cut inside the last question")
        << 2 << mon.left(mon.size() - 5) << QStringLiteral("Set")
        << QStringList{QStringLiteral("q1"), QStringLiteral("a1"), QStringLiteral("questi"), QStringLiteral("a2")};
}

void TestBadInput::emptyAndTruncatedFiles()
{
    QFETCH(int, filterIndex);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, listName);
    QFETCH(QStringList, appended);

    Window w;
    TForm1& form = w.form;
    const QString path = testsupport::writeFile(w.dir.filePath(QStringLiteral("short")), bytes);
    ErrorBoxes boxes;
    platform::scriptOpenDialog(path, filterIndex);
    form.Button3->click();
    const int row = filterIndex == 1 ? 1 : form.textFileCount;
    QCOMPARE(form.StringGrid1->cell(1, row), listName);
    form.StringGrid1->selectCell(1, row);
    QCOMPARE(boxes.texts, QStringList{});

    QCOMPARE(form.StringGrid2->rowCount(), kQuestions.size() + 2 + int(appended.size() / 2));
    for (int i = 0; i < appended.size() / 2; ++i) {
        QCOMPARE(form.StringGrid2->cell(1, kQuestions.size() + 1 + i), appended[2 * i]);
        QCOMPARE(form.StringGrid2->cell(2, kQuestions.size() + 1 + i), appended[2 * i + 1]);
    }
    for (int r = 1; r <= kQuestions.size(); ++r)
        QCOMPARE(form.StringGrid2->cell(1, r), kQuestions[r - 1].first);
    QVERIFY(w.keepsPresenting());
}

// The binary reader reads only the records it needs, unlike the text
// readers, which refuse these files (test_unopenable_files): a 1 GB file of
// zero bytes (sparse: no disk is used) opens at once with eight empty genres
// and appends nothing, and so does a file whose every read fails (the start
// of this process's memory file is never mapped), as an empty file.
void TestBadInput::binaryFileReadOnlyAsNeeded_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("1 GB of zeros") << QStringLiteral("zeros");
    QTest::newRow("reads fail") << QStringLiteral("/proc/self/mem");
}

void TestBadInput::binaryFileReadOnlyAsNeeded()
{
    QFETCH(QString, kind);
    Window w;
    TForm1& form = w.form;
    QString path = kind;
    if (kind == u"zeros") {
        path = w.dir.filePath(kind);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 30));
    }
    const qint64 memoryBefore = testsupport::peakMemoryKb();
    ErrorBoxes boxes;
    platform::scriptOpenDialog(path, 1);
    form.Button3->click();
    for (int genre = 1; genre <= 8; ++genre) {
        QCOMPARE(form.StringGrid1->cell(1, genre), QString());
        QCOMPARE(form.StringGrid1->cell(2, genre), QStringLiteral("0"));
        form.StringGrid1->selectCell(1, genre);
    }
    QCOMPARE(boxes.texts, QStringList{});
    QVERIFY2(testsupport::peakMemoryKb() - memoryBefore < 64 * 1024, "memory does not grow with the file");
    QVERIFY(w.tableIntact());
    QVERIFY(w.keepsPresenting());
}

// Bytes that are not code page 932 (a lead byte without its trail byte) are
// shown as the replacement character; the valid bytes around them keep
// their characters.
void TestBadInput::bytesThatAreNotCodePage932_data()
{
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("answer");

    // 0xA0 and 0xFD–0xFF are read as Windows reads them, U+F8F0–U+F8F3.
    const QString replaced = QString(QChar::ReplacementCharacter);
    QTest::newRow(".mon")
        << 2 << QByteArray("1,\"L\",\"x\"\r\n0,\"n\",\"S\xA0\"\r\n1,\"\x82\xA0\xFF\",\"q\x81\"\r\n")
        << QStringLiteral("S\uF8F0") << QStringLiteral("q") + replaced << QStringLiteral("あ\uF8F3");
    QTest::newRow(".5tq")
        << 1 << testsupport::tqFile({{"G\xA0", 1}}, {{"q\x81", "\x82\xA0\xFD"}})
        << QStringLiteral("G\uF8F0") << QStringLiteral("q") + replaced << QStringLiteral("あ\uF8F1");
}

void TestBadInput::bytesThatAreNotCodePage932()
{
    QFETCH(int, filterIndex);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, listName);
    QFETCH(QString, question);
    QFETCH(QString, answer);

    Window w;
    TForm1& form = w.form;
    const QString path = testsupport::writeFile(w.dir.filePath(QStringLiteral("bytes")), bytes);
    ErrorBoxes boxes;
    platform::scriptOpenDialog(path, filterIndex);
    form.Button3->click();
    const int row = filterIndex == 1 ? 1 : form.textFileCount;
    QCOMPARE(form.StringGrid1->cell(1, row), listName);
    form.StringGrid1->selectCell(1, row);
    QCOMPARE(boxes.texts, QStringList{});
    const int appendedRow = kQuestions.size() + 1;
    QCOMPARE(form.StringGrid2->cell(1, appendedRow), question);
    QCOMPARE(form.StringGrid2->cell(2, appendedRow), answer);
    QVERIFY(w.keepsPresenting());
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
