#include "widgets/UpDown.h"
#include "platform/errors.h"
#include "platform/platform.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <QStyle>
#include <QTest>

using platform::UpDown;

namespace {

// A field with its up-down, set up as the answer-span pair at start:
// range 1 to 10000, step 1, position 5 shown as "5".
struct Pair {
    QWidget window;
    QLineEdit* field = new QLineEdit(&window);
    UpDown* upDown = new UpDown(&window);

    explicit Pair(int position = 5, int minimum = 1, int maximum = 10000, int increment = 1)
    {
        field->setGeometry(0, 0, 45, 25);
        upDown->setGeometry(45, 0, 19, 25);
        upDown->setMinimum(minimum);
        upDown->setMaximum(maximum);
        upDown->setIncrement(increment);
        upDown->setPosition(position);
        field->setText(QString::number(position));
        upDown->associate(field);
    }
};

} // namespace

class TestUpDown : public QObject {
    Q_OBJECT

private slots:
    void stepStartsFromTheFieldWhenItHoldsAValidNumber();
    void givingTheRecordedValueLeavesTheFieldAlone();
    void readingTakesTheFieldsNumberOnlyWhenValid_data();
    void readingTakesTheFieldsNumberOnlyWhenValid();
    void stepsStayWithinTheRange_data();
    void stepsStayWithinTheRange();
    void givenValuesAreLimitedToTheRange();
    void stepSizeIsFixedBeforeTheChangingReport();
    void positionIsRecordedBeforeTheFieldIsWritten();
    void mouseClicksOnTheArrows();
    void holdingAnArrowRepeats_data();
    void holdingAnArrowRepeats();
    void aPressWhoseReleaseGoesToAModalBoxStopsStepping();
    void arrowKeysInTheFieldStep();
    void aFailingFieldWriterIsReportedNotThrown();
};

void TestUpDown::stepStartsFromTheFieldWhenItHoldsAValidNumber()
{
    Pair pair;
    pair.upDown->clickUp();
    QCOMPARE(pair.field->text(), QStringLiteral("6"));
    QCOMPARE(pair.upDown->recordedPosition(), 6);

    pair.field->setText(QStringLiteral("9"));
    QCOMPARE(pair.upDown->recordedPosition(), 6);
    pair.upDown->clickUp();
    QCOMPARE(pair.field->text(), QStringLiteral("10"));
    QCOMPARE(pair.upDown->recordedPosition(), 10);

    // Not a number: the step starts from the recorded position.
    pair.field->setText(QStringLiteral("abc"));
    pair.upDown->clickDown();
    QCOMPARE(pair.field->text(), QStringLiteral("9"));
}

void TestUpDown::givingTheRecordedValueLeavesTheFieldAlone()
{
    Pair pair(50);
    pair.field->setText(QStringLiteral("52"));
    QCOMPARE(pair.upDown->recordedPosition(), 50);
    pair.upDown->setPosition(50);
    QCOMPARE(pair.field->text(), QStringLiteral("52"));
    QCOMPARE(pair.upDown->recordedPosition(), 50);

    pair.upDown->setPosition(48);
    QCOMPARE(pair.field->text(), QStringLiteral("48"));
    QCOMPARE(pair.upDown->recordedPosition(), 48);

    // Through the Qt property, as the window's tests use it.
    pair.upDown->setProperty("position", 10000);
    QCOMPARE(pair.field->text(), QStringLiteral("10000"));
}

void TestUpDown::readingTakesTheFieldsNumberOnlyWhenValid_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("read");

    QTest::newRow("number") << QStringLiteral("7") << 7;
    QTest::newRow("upper limit") << QStringLiteral("10000") << 10000;
    QTest::newRow("letter") << QStringLiteral("a") << 5;
    QTest::newRow("empty") << QString() << 5;
    QTest::newRow("above the range") << QStringLiteral("10001") << 5;
    QTest::newRow("below the range") << QStringLiteral("0") << 5;
    QTest::newRow("thousands separator") << QStringLiteral("1,000") << 5;
    QTest::newRow("full-width digit") << QStringLiteral("７") << 5;
}

void TestUpDown::readingTakesTheFieldsNumberOnlyWhenValid()
{
    QFETCH(QString, typed);
    QFETCH(int, read);
    Pair pair;
    pair.field->setText(typed);
    QCOMPARE(pair.upDown->property("position").toInt(), read);
    QCOMPARE(pair.upDown->recordedPosition(), read);
    QCOMPARE(pair.field->text(), typed);
}

void TestUpDown::stepsStayWithinTheRange_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("increment");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");

    QTest::newRow("at the maximum") << 1 << 10000 << 1 << "10000" << true << "10000";
    QTest::newRow("at the minimum") << 1 << 10000 << 1 << "1" << false << "1";
    QTest::newRow("short of the maximum") << 1 << 10000 << 5 << "9998" << true << "10000";
    QTest::newRow("short of the minimum") << 10 << 10000 << 5 << "12" << false << "10";
    QTest::newRow("large step") << 1 << 10000 << 100 << "50" << true << "150";
    QTest::newRow("out of range uses recorded") << 1 << 10000 << 1 << "20000" << true << "51";
}

void TestUpDown::stepsStayWithinTheRange()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, increment);
    QFETCH(QString, shown);
    QFETCH(bool, up);
    QFETCH(QString, after);

    Pair pair(50, minimum, maximum, increment);
    pair.field->setText(shown);
    up ? pair.upDown->clickUp() : pair.upDown->clickDown();
    QCOMPARE(pair.field->text(), after);
    QCOMPARE(pair.upDown->recordedPosition(), after.toInt());
}

void TestUpDown::givenValuesAreLimitedToTheRange()
{
    Pair pair(50, 10, 100);
    pair.upDown->setPosition(0);
    QCOMPARE(pair.field->text(), QStringLiteral("10"));
    pair.upDown->setPosition(500);
    QCOMPARE(pair.field->text(), QStringLiteral("100"));
    // 150 is limited to 100, the recorded position: nothing is written.
    pair.field->setText(QStringLiteral("x"));
    pair.upDown->setPosition(150);
    QCOMPARE(pair.field->text(), QStringLiteral("x"));
}

// The tick-interval ladder: the changing report chooses the size of the
// next step from the value before this one.
void TestUpDown::stepSizeIsFixedBeforeTheChangingReport()
{
    Pair pair(10);
    QStringList seenInField;
    QList<int> seenPositions;
    connect(pair.upDown, &UpDown::changing, pair.upDown, [&] {
        seenInField << pair.field->text();
        const int value = pair.upDown->position();
        seenPositions << value;
        pair.upDown->setIncrement(value <= 10 ? 1 : 2);
    });

    QStringList shown;
    for (int click = 0; click < 3; ++click) {
        pair.upDown->clickUp();
        shown << pair.field->text();
    }
    QCOMPARE(shown, QStringList({"11", "12", "14"}));
    QCOMPARE(seenInField, QStringList({"10", "11", "12"}));
    QCOMPARE(seenPositions, QList<int>({10, 11, 12}));
}

void TestUpDown::positionIsRecordedBeforeTheFieldIsWritten()
{
    Pair pair;
    QStringList written;
    QList<int> recordedWhenWritten;
    pair.upDown->fieldWriter = [&](const QString& text) {
        written << text;
        recordedWhenWritten << pair.upDown->recordedPosition();
    };
    pair.upDown->clickUp();
    pair.upDown->setPosition(20);
    pair.upDown->setPosition(20);
    QCOMPARE(written, QStringList({"6", "20"}));
    QCOMPARE(recordedWhenWritten, QList<int>({6, 20}));
    QCOMPARE(pair.field->text(), QStringLiteral("5"));
}

void TestUpDown::mouseClicksOnTheArrows()
{
    Pair pair;
    int reports = 0;
    connect(pair.upDown, &UpDown::changing, pair.upDown, [&] { ++reports; });
    pair.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pair.window));
    QVERIFY(pair.upDown->hasMouseTracking());

    const QPoint upper(pair.upDown->width() / 2, 3);
    const QPoint lower(pair.upDown->width() / 2, pair.upDown->height() - 3);
    QTest::mouseClick(pair.upDown, Qt::LeftButton, {}, upper);
    QTest::mouseClick(pair.upDown, Qt::LeftButton, {}, upper);
    QCOMPARE(pair.field->text(), QStringLiteral("7"));
    QTest::mouseClick(pair.upDown, Qt::LeftButton, {}, lower);
    QCOMPARE(pair.field->text(), QStringLiteral("6"));
    QTest::mouseClick(pair.upDown, Qt::RightButton, {}, upper);
    QCOMPARE(pair.field->text(), QStringLiteral("6"));
    QCOMPARE(reports, 3);
}

void TestUpDown::holdingAnArrowRepeats_data()
{
    QTest::addColumn<bool>("throughWindow");
    // As the window system delivers it (the application knows the button is
    // held), and straight to the control as a widget-level test sends it.
    QTest::newRow("through the window") << true;
    QTest::newRow("to the control") << false;
}

void TestUpDown::holdingAnArrowRepeats()
{
    QFETCH(bool, throughWindow);
    Pair pair;
    pair.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pair.window));
    const int threshold =
        pair.upDown->style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold);

    QWindow* window = pair.window.windowHandle();
    const QPoint upper(pair.upDown->width() / 2, 3);
    const QPoint upperInWindow = pair.upDown->mapTo(&pair.window, upper);
    if (throughWindow)
        QTest::mousePress(window, Qt::LeftButton, {}, upperInWindow);
    else
        QTest::mousePress(pair.upDown, Qt::LeftButton, {}, upper);
    QCOMPARE(pair.field->text(), QStringLiteral("6"));
    QTRY_VERIFY_WITH_TIMEOUT(pair.upDown->recordedPosition() >= 8, threshold + 3000);
    if (throughWindow)
        QTest::mouseRelease(window, Qt::LeftButton, {}, upperInWindow);
    else
        QTest::mouseRelease(pair.upDown, Qt::LeftButton, {}, upper);
    const QString released = pair.field->text();
    QTest::qWait(threshold + 200);
    QCOMPARE(pair.field->text(), released);
}

// The step opens a modal box (as an error box does); the box takes the
// release. After the box is closed the arrow must not step on by itself.
void TestUpDown::aPressWhoseReleaseGoesToAModalBoxStopsStepping()
{
    Pair pair;
    pair.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pair.window));
    bool boxShown = false;
    connect(pair.upDown, &UpDown::changing, pair.upDown, [&] {
        if (boxShown)
            return;
        boxShown = true;
        QMessageBox box(QMessageBox::Critical, QStringLiteral("t"), QStringLiteral("x"),
                        QMessageBox::Ok, &pair.window);
        QTimer::singleShot(100, &box, [&box] {
            QTest::mouseRelease(box.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
            box.accept();
        });
        box.exec();
    });
    const QPoint upper = pair.upDown->mapTo(&pair.window, QPoint(pair.upDown->width() / 2, 3));
    QTest::mousePress(pair.window.windowHandle(), Qt::LeftButton, {}, upper);
    QVERIFY(boxShown);
    QCOMPARE(pair.field->text(), QStringLiteral("6"));
    const int threshold =
        pair.upDown->style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold);
    QTest::qWait(threshold + 400);
    QCOMPARE(pair.field->text(), QStringLiteral("6"));
}

void TestUpDown::arrowKeysInTheFieldStep()
{
    Pair pair;
    pair.field->setText(QStringLiteral("9"));
    QTest::keyClick(pair.field, Qt::Key_Up);
    QCOMPARE(pair.field->text(), QStringLiteral("10"));
    QTest::keyClick(pair.field, Qt::Key_Down);
    QTest::keyClick(pair.field, Qt::Key_Down);
    QCOMPARE(pair.field->text(), QStringLiteral("8"));
    QCOMPARE(pair.upDown->recordedPosition(), 8);
    // Other keys still reach the field.
    QTest::keyClick(pair.field, Qt::Key_1);
    QCOMPARE(pair.field->text(), QStringLiteral("81"));
}

void TestUpDown::aFailingFieldWriterIsReportedNotThrown()
{
    QStringList boxes;
    platform::setErrorSink([&](const QString&, const QString& text) { boxes << text; });
    Pair pair;
    pair.upDown->fieldWriter = [](const QString& text) { platform::raiseNotAnInteger(text); };
    pair.upDown->clickUp();
    QTest::keyClick(pair.field, Qt::Key_Up);
    platform::setErrorSink({});
    QCOMPARE(boxes.size(), 2);
    QVERIFY2(boxes.first().startsWith(QStringLiteral("'6'")), qPrintable(boxes.first()));
    // A value given by the program passes the failure on to its caller.
    QVERIFY_THROWS_EXCEPTION(platform::Error, pair.upDown->setPosition(30));
}

QTEST_MAIN(TestUpDown)
#include "test_updown.moc"
