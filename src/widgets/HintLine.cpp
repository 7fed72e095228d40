#include "widgets/HintLine.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace platform {

QString longHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar >= 0 ? hint.mid(bar + 1) : hint;
}

QString hintFor(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (!widget->statusTip().isEmpty())
            return longHint(widget->statusTip());
    }
    return {};
}

HintLine::HintLine(QWidget* window) : QObject(window), window_(window)
{
    qApp->installEventFilter(this);
}

bool HintLine::eventFilter(QObject* watched, QEvent* event)
{
    QPoint globalPos;
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        globalPos = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        break;
    case QEvent::Enter:
        globalPos = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
        break;
    case QEvent::Leave:
        if (watched == window_.data())
            globalPos = QPoint(-100000, -100000);
        else
            return false;
        break;
    default:
        return false;
    }
    lastPos_ = globalPos;
    if (!pending_) {
        // Decide once the input has been handled and the program is idle.
        pending_ = true;
        QTimer::singleShot(0, this, [this] {
            pending_ = false;
            updateAt(lastPos_);
        });
    }
    return false;
}

void HintLine::updateAt(const QPoint& globalPos)
{
    QWidget* under = QApplication::widgetAt(globalPos);
    if (under && window_ && under->window() != window_.data())
        under = nullptr;
    setHint(hintFor(under));
}

void HintLine::setHint(const QString& hint)
{
    if (hint == current_)
        return;
    current_ = hint;
    emit hintChanged(hint);
}

} // namespace platform
