#include "support/testsupport.h"

#include "text/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write fixture %s", qPrintable(path));
    file.write(bytes);
    return QFileInfo(path).absoluteFilePath();
}

QByteArray cp932(const QString& text)
{
    QByteArray bytes;
    if (!platform::encodeCp932(text, &bytes))
        qFatal("fixture text has no code page 932 form");
    return bytes;
}

qint64 peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

Fifo::Fifo(const QString& fifoPath)
    : path(fifoPath)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkfifo(name.constData(), 0600) != 0)
        qFatal("cannot make FIFO %s", name.constData());
    releaser_ = std::jthread([name](std::stop_token stop) {
        using namespace std::chrono_literals;
        const auto releaseAt = std::chrono::steady_clock::now() + std::chrono::seconds(kFifoReleaseSeconds);
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(20ms);
            if (std::chrono::steady_clock::now() < releaseAt)
                continue;
            // Opens only while a reader waits (ENXIO otherwise).
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    });
}

Fifo::~Fifo()
{
    releaser_.request_stop();
    releaser_.join();
    QFile::remove(path);
}

} // namespace testsupport

#include "app/Un_subri1.h"
#include "app/controls.h"
#include "platform/platform.h"
#include "questions/tq_format.h"
#include "widgets/StringGrid.h"
#include "widgets/dialogs.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace testsupport {

ErrorBoxes::ErrorBoxes()
{
    platform::setErrorSink([this](const QString& title, const QString& text) {
        titles << title;
        texts << text;
    });
}

ErrorBoxes::~ErrorBoxes() { platform::setErrorSink({}); }

QByteArray monFile(const QString& label, const QString& setName,
                   const QList<QPair<QString, QString>>& questions)
{
    QString text = QStringLiteral("%1,\"x\",\"%2\"\r\n0,\"y\",\"%3\"\r\n")
                       .arg(questions.size()).arg(label, setName);
    int number = 1;
    for (const auto& [question, answer] : questions)
        text += QStringLiteral("%1,\"%2\",\"%3\"\r\n").arg(number++).arg(answer, question);
    return cp932(text);
}

QStringList windowSnapshot(const TForm1& form)
{
    QStringList state;
    for (const platform::StringGrid* grid : {form.StringGrid1, form.StringGrid2})
        for (int row = 0; row < grid->rowCount(); ++row)
            for (int column = 0; column < grid->colCount(); ++column)
                state << grid->cell(column, row);
    for (const QLineEdit* field : form.findChildren<QLineEdit*>())
        state << field->objectName() + u'=' + field->text();
    for (const QPlainTextEdit* memo : form.findChildren<QPlainTextEdit*>())
        state << memo->objectName() + u'=' + memo->property("plainText").toString();
    for (const QTextEdit* viewer : form.findChildren<QTextEdit*>())
        state << viewer->objectName() + u'=' + viewer->toPlainText();
    state << app::fieldColor(form.Edit7).name() << QString::number(form.Button16->isEnabled())
          << QString::number(form.OpenDialog1->filterIndex()) << form.OpenDialog1->fileName()
          << QString::number(form.textFileCount)
          << (form.currentBinaryFile ? form.currentBinaryFile->path() : QString()) << QDir::currentPath();
    return state;
}

void openThroughDialog(TForm1& form, const QString& path, int filterIndex)
{
    platform::scriptOpenDialog(path, filterIndex);
    form.Button3Click();
}

} // namespace testsupport

#include <QEvent>
#include <QWidget>

namespace testsupport {

QByteArray tqFile(const QList<QPair<QByteArray, quint16>>& genres, const QList<TqQuestion>& questions)
{
    const auto field = [](const QByteArray& text, qsizetype size, bool flip) {
        QByteArray stored = text.left(size);
        if (flip) {
            for (char& c : stored)
                c = char(quint8(c) ^ 0x80);
        }
        return stored + QByteArray(size - stored.size(), 0x20);
    };
    QByteArray bytes;
    for (int g = 0; g < 8; ++g) {
        QByteArray record(256, '\0');
        if (g < genres.size()) {
            record.replace(0, 16, field(genres[g].first, 16, false));
            record[18] = char(genres[g].second & 0xFF);
            record[19] = char(genres[g].second >> 8);
        }
        bytes += record;
    }
    for (const TqQuestion& q : questions) {
        QByteArray record(256, '\0');
        record.replace(0, 116, field(q.question, 116, true));
        record.replace(116, 28, field(q.answer, 28, true));
        bytes += record;
    }
    return bytes;
}

EnabledChanges::EnabledChanges(const QList<QWidget*>& watched)
{
    for (QWidget* widget : watched)
        widget->installEventFilter(this);
}

bool EnabledChanges::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        changed << watched;
    return QObject::eventFilter(watched, event);
}

} // namespace testsupport

#include "widgets/PageControl.h"
#include "widgets/StringGrid.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QWindow>

namespace testsupport {

void clickTab(TForm1& form, QWidget* page)
{
    QTabBar* tabs = form.PageControl1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(form.PageControl1->indexOf(page)).center());
}

void clickListRow(TForm1& form, int row)
{
    platform::StringGrid* list = form.StringGrid1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 1)).center());
}

QPixmap windowOnScreen(QWidget& window)
{
    QTest::qWait(300);
    const QRect area = window.windowHandle()->geometry();
    return window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
}

void dragUnderPointer(QWidget* area, QPoint from, QPoint to)
{
    const QPoint globalFrom = area->mapToGlobal(from);
    const QPoint globalTo = area->mapToGlobal(to);
    QWidget* pressed = QApplication::widgetAt(globalFrom);
    QVERIFY(pressed);
    // While the button is down the pressed widget keeps the mouse.
    QTest::mousePress(pressed, Qt::LeftButton, {}, pressed->mapFromGlobal(globalFrom));
    QTest::mouseMove(pressed, pressed->mapFromGlobal((globalFrom + globalTo) / 2));
    QTest::mouseMove(pressed, pressed->mapFromGlobal(globalTo));
    QTest::mouseRelease(pressed, Qt::LeftButton, {}, pressed->mapFromGlobal(globalTo));
}

} // namespace testsupport
