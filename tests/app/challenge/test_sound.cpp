// The beep as heard: a private sound server with a null sink, recorded from
// its monitor, while the α rhythm runs with "音有" or "音無"; and the bell in
// its place while no server answers.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "platform/click_stream.h"
#include "platform/platform.h"
#include "support/soundlab.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using platform::SoundState;

class TestSound : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void bellWithoutServerClickWithIt();
    void oneClickPerAnswerFlash_data();
    void oneClickPerAnswerFlash();
    void clicksComeBackWhenTheServerDoes();
    void streamFollowsTheDefaultOutput();

private:
    std::unique_ptr<testsupport::PrivateSoundServer> server_;
};

void TestSound::initTestCase()
{
    // PulseAudio, or PipeWire when MIRELDO_TEST_SOUND_SERVER=pipewire.
    const auto kind = qgetenv("MIRELDO_TEST_SOUND_SERVER") == "pipewire" ? testsupport::SoundServerKind::PipeWire
                                                                       : testsupport::SoundServerKind::PulseAudio;
    if (const QString missing = testsupport::PrivateSoundServer::missingProgram(kind); !missing.isEmpty())
        QSKIP(qPrintable(missing + QStringLiteral(" is not installed (scripts/install-deps installs it)")));
    server_ = std::make_unique<testsupport::PrivateSoundServer>(kind);
    QString error;
    QVERIFY2(server_->start(&error), qPrintable(error));
}

// No server: the sound setting gives up quietly and beeps ring the bell. The
// next "on" asks again; then a beep is a click, unless a sink takes it.
void TestSound::bellWithoutServerClickWithIt()
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/mireldo-test-socket");
    platform::setSoundOn(true);
    QTRY_COMPARE_WITH_TIMEOUT(platform::soundStatus().state, SoundState::Failed, 5000);
    platform::MessageBeep(0xFFFFFFFF); // the bell, silent here
    QCOMPARE(platform::soundStatus().clicks, uint64_t(0));

    qputenv("PULSE_SERVER", server_->address());
    platform::setSoundOn(true);
    QTRY_COMPARE_WITH_TIMEOUT(platform::soundStatus().state, SoundState::Playing, 5000);
    int sunk = 0;
    platform::setBeepSink([&sunk](uint32_t) { ++sunk; });
    platform::MessageBeep(0xFFFFFFFF);
    platform::setBeepSink({});
    QCOMPARE(sunk, 1);
    platform::MessageBeep(0xFFFFFFFF);
    QTRY_COMPARE(platform::soundStatus().clicks, uint64_t(1));
    platform::setSoundOn(false);
    QCOMPARE(platform::soundStatus().state, SoundState::Off);
}

void TestSound::oneClickPerAnswerFlash_data()
{
    QTest::addColumn<bool>("soundOn");
    QTest::newRow("音有") << true;
    QTest::newRow("音無") << false;
}

// Three seconds of α: as many clicks as the window counts answer flashes
// with the sound on (less those dropped as late), none with it off. Closing the window closes the stream.
void TestSound::oneClickPerAnswerFlash()
{
    QFETCH(bool, soundOn);
    qputenv("PULSE_SERVER", server_->address());
    testsupport::MonitorRecorder recorder;
    QString error;
    QVERIFY2(recorder.start(*server_, &error), qPrintable(error));

    TForm1 form;
    testsupport::loadNumberedQuestions(form, 20);
    form.show();
    if (soundOn) {
        QTest::mouseClick(form.But_oto, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(platform::soundStatus().state, SoundState::Playing, 5000);
    }
    QCOMPARE(form.But_oto->text(), soundOn ? QStringLiteral("音有") : QStringLiteral("音無"));

    const uint64_t lateBefore = platform::soundStatus().lateClicks;
    form.Button16Click();
    form.Button6Click(); // α: an answer flash every 4 ticks
    QTest::qWait(3000);
    form.Timer1->setActive(false);
    const int flashes = form.Edit9->text().toInt();
    QTest::qWait(300); // the last click is still on its way
    const testsupport::Recording recording = recorder.stop();
    // A click the loaded machine would have sounded late is dropped, not
    // moved, and counted: every other flash is heard.
    const int late = int(platform::soundStatus().lateClicks - lateBefore);
    form.close();
    QCOMPARE(platform::soundStatus().state, SoundState::Off);

    QVERIFY2(flashes >= 10, qPrintable(form.Edit9->text()));
    QVERIFY2(late <= flashes / 10, qPrintable(QString::number(late)));
    QCOMPARE(int(recording.clickFrames().size()), soundOn ? flashes - late : 0);
}

// The server dies while the sound is on: beeps ring the bell, and once it
// runs again the stream reopens by itself and beeps are clicks again, with
// "音有" never touched.
void TestSound::clicksComeBackWhenTheServerDoes()
{
    platform::setSoundOn(true);
    QTRY_COMPARE_WITH_TIMEOUT(platform::soundStatus().state, SoundState::Playing, 5000);
    platform::MessageBeep(0xFFFFFFFF);
    QTRY_COMPARE(platform::soundStatus().clicks, uint64_t(1));

    server_->stop();
    QTRY_COMPARE_WITH_TIMEOUT(platform::soundStatus().state, SoundState::Failed, 5000);
    platform::MessageBeep(0xFFFFFFFF); // the bell
    QString error;
    QVERIFY2(server_->start(&error), qPrintable(error));
    QTRY_COMPARE_WITH_TIMEOUT(platform::soundStatus().state, SoundState::Playing, 10000);
    QCOMPARE(platform::soundStatus().connections, uint64_t(2));
    platform::MessageBeep(0xFFFFFFFF);
    QTRY_COMPARE(platform::soundStatus().clicks, uint64_t(2));
    QCOMPARE(platform::soundStatus().lateClicks, uint64_t(0));
    platform::setSoundOn(false);
}

// Another output becomes the default: the stream reopens there, at that
// output's rate (the server may have switched the idle output to the rate
// of the stream it moved there first), and clicks; then back again.
void TestSound::streamFollowsTheDefaultOutput()
{
    platform::setSoundOn(true);
    QTRY_COMPARE_WITH_TIMEOUT(platform::soundStatus().state, SoundState::Playing, 5000);
    QString error;
    QVERIFY2(testsupport::runPactl(server_->address(), {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                                        QStringLiteral("sink_name=other"), QStringLiteral("rate=44100")},
                                   &error),
             qPrintable(error));
    for (const char* sink : {"other", testsupport::PrivateSoundServer::kSink}) {
        const uint64_t streams = platform::soundStatus().connections, clicks = platform::soundStatus().clicks;
        QVERIFY2(testsupport::runPactl(server_->address(), {QStringLiteral("set-default-sink"), QLatin1String(sink)}, &error),
                 qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(platform::soundStatus().connections, streams + 1, 5000);
        QCOMPARE(platform::soundStatus().sampleRate, testsupport::sinkRate(server_->address(), sink));
        platform::MessageBeep(0xFFFFFFFF);
        QTRY_COMPARE(platform::soundStatus().clicks, clicks + 1);
    }
    platform::setSoundOn(false);
}

QTEST_MAIN(TestSound)
#include "test_sound.moc"
