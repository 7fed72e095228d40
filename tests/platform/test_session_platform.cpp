// Which session makes the program start on X11 (through XWayland).

#include "platform/session_platform.h"

#include <QTest>

class TestSessionPlatform : public QObject {
    Q_OBJECT

private slots:
    void waylandWithXWaylandStartsOnX11_data();
    void waylandWithXWaylandStartsOnX11();
};

void TestSessionPlatform::waylandWithXWaylandStartsOnX11_data()
{
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<bool>("platformChosen");
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<bool>("x11");
    QTest::newRow("Wayland with XWayland") << QByteArray("wayland-0") << QByteArray(":0") << false << QByteArray() << true;
    QTest::newRow("X11 session") << QByteArray() << QByteArray(":0") << false << QByteArray() << false;
    QTest::newRow("Wayland without XWayland") << QByteArray("wayland-0") << QByteArray() << false << QByteArray() << false;
    QTest::newRow("platform chosen by environment") << QByteArray("wayland-0") << QByteArray(":0") << true << QByteArray() << false;
    QTest::newRow("platform chosen on the command line") << QByteArray("wayland-0") << QByteArray(":0") << false << QByteArray("-platform") << false;
}

void TestSessionPlatform::waylandWithXWaylandStartsOnX11()
{
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, display);
    QFETCH(bool, platformChosen);
    QFETCH(QByteArray, argument);
    QFETCH(bool, x11);
    const QByteArray savedPlatform = qgetenv("QT_QPA_PLATFORM");
    const auto set = [](const char* name, const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    set("WAYLAND_DISPLAY", wayland);
    set("DISPLAY", display);
    set("QT_QPA_PLATFORM", platformChosen ? QByteArray("wayland") : QByteArray());
    const char* argv[] = {"mireldo", argument.constData(), "wayland"};
    const int argc = argument.isEmpty() ? 1 : 3;
    const bool result = platform::startsOnXWayland(argc, argv);
    set("QT_QPA_PLATFORM", savedPlatform);
    QCOMPARE(result, x11);
}

QTEST_GUILESS_MAIN(TestSessionPlatform)
#include "test_session_platform.moc"
