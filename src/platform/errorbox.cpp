#include "platform/platform.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {

namespace {
std::function<void(const QString&, const QString&)>& errorSink()
{
    static std::function<void(const QString&, const QString&)> sink;
    return sink;
}
} // namespace

void setErrorSink(std::function<void(const QString&, const QString&)> sink)
{
    errorSink() = std::move(sink);
}

QString applicationTitle()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

void showErrorBox(const QString& message)
{
    const QString title = applicationTitle();
    const QString text = errorBoxText(message);
    if (errorSink()) {
        errorSink()(title, text);
        return;
    }
    // A box about the same text is already open (an event handled while it
    // waits, such as a presentation tick meeting the fault the box reports):
    // no second box over it; the event ends at its failing step as always.
    static QStringList openTexts;
    if (openTexts.contains(text))
        return;
    openTexts.append(text);
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
    openTexts.removeOne(text);
}

} // namespace platform
