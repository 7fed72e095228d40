// Errors of handlers: caught at the entry point, passed on when nested,
// and caught again for events of a nested event loop (an open dialog).

#include "platform/errors.h"
#include "platform/handler_guard.h"
#include "support/testsupport.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

class TestHandlerGuard : public QObject {
    Q_OBJECT
private slots:
    void errorAtTheEntryPointGoesToTheErrorBox();
    void nestedCallPassesTheErrorToTheOuterHandler();
    void eventInsideANestedLoopIsAnEntryPointOfItsOwn();
};

void TestHandlerGuard::errorAtTheEntryPointGoesToTheErrorBox()
{
    testsupport::ErrorBoxes boxes;
    platform::HandlerGuard guard;
    guard.run([] { platform::raiseDivisionByZero(); });
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("0 による除算.")});
    QVERIFY(!guard.insideHandler());
}

void TestHandlerGuard::nestedCallPassesTheErrorToTheOuterHandler()
{
    testsupport::ErrorBoxes boxes;
    platform::HandlerGuard guard;
    QStringList steps;
    guard.run([&] {
        steps << "outer";
        guard.run([] { platform::raiseNotAnInteger(QStringLiteral("x")); });
        steps << "after nested"; // never reached: the failure ends the outer handler
    });
    QCOMPARE(steps, QStringList{"outer"});
    QCOMPARE(boxes.texts.size(), 1);
}

void TestHandlerGuard::eventInsideANestedLoopIsAnEntryPointOfItsOwn()
{
    testsupport::ErrorBoxes boxes;
    platform::HandlerGuard guard;
    QStringList steps;
    guard.run([&] {
        // Like a modal dialog: a nested loop in which a timer event fails.
        QEventLoop loop;
        QTimer::singleShot(0, [&] { guard.run([] { platform::raiseDivisionByZero(); }); });
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
        steps << "outer continues";
    });
    QCOMPARE(steps, QStringList{"outer continues"});
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("0 による除算.")});
}

QTEST_MAIN(TestHandlerGuard)
#include "test_handler_guard.moc"
