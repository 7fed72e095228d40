#include "app/file_drops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace app {

namespace {

// Copy first, link second; a move (or nothing else on offer) is refused.
Qt::DropAction takenAction(Qt::DropActions offered)
{
    if (offered & Qt::CopyAction)
        return Qt::CopyAction;
    if (offered & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

// Watches the drag events of the whole application, because a control may
// take drops of its own (a text field pastes text) before the window sees
// them; only events of the window and its controls are handled.
class FileDropFilter : public QObject {
public:
    FileDropFilter(QWidget& window, std::function<void(const QStringList&)> open)
        : QObject(&window), window_(window), open_(std::move(open))
    {
        window.setAcceptDrops(true); // controls that take no drops pass them up to here
        qApp->installEventFilter(this);
        static const bool hooked = QInternal::registerCallback(QInternal::EventNotifyCallback, &takeDropSentByProgram);
        Q_UNUSED(hooked);
        live().append(this);
    }
    ~FileDropFilter() override { live().removeOne(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        if (!watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (widget != &window_ && !window_.isAncestorOf(widget))
            return false;

        auto* drag = static_cast<QDropEvent*>(event); // enter and move events are drop events too
        const QStringList files = droppedFiles(drag->mimeData());
        const Qt::DropAction action = takenAction(drag->possibleActions());
        // A drag that offers only a move is refused while it moves; a drop
        // that arrives anyway still opens the files but reports no move.
        if (files.isEmpty() || (type != QEvent::Drop && action == Qt::IgnoreAction)) {
            drag->ignore();
            return true;
        }
        drag->setDropAction(action);
        drag->accept();
        // The files open once the drop has returned, so the drag source is
        // released first and is never held by a slow open or an error box.
        if (type == QEvent::Drop)
            QTimer::singleShot(0, &window_, [open = open_, files] { open(files); });
        return true;
    }

private:
    static QList<FileDropFilter*>& live()
    {
        static QList<FileDropFilter*> filters;
        return filters;
    }

    // The toolkit hands a drop only to the control that took the drag's
    // entry before it; a drop a program sends to the window on its own
    // (no drag entered first) would reach no control and no filter. Drops
    // that do not come from the window system are therefore taken here,
    // before the toolkit's dispatch, by the filter of the window they are
    // sent to. Every other event passes on untouched.
    static bool takeDropSentByProgram(void** data)
    {
        auto* event = static_cast<QEvent*>(data[1]);
        if (event->type() != QEvent::Drop || event->spontaneous())
            return false;
        auto* receiver = static_cast<QObject*>(data[0]);
        for (FileDropFilter* filter : live()) {
            if (filter->eventFilter(receiver, event)) {
                *static_cast<bool*>(data[2]) = event->isAccepted();
                return true;
            }
        }
        return false;
    }

    QWidget& window_;
    std::function<void(const QStringList&)> open_;
};

} // namespace

QStringList droppedFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty())
            return {};
        files << url.toLocalFile();
    }
    return files;
}

void acceptFileDrops(QWidget& window, std::function<void(const QStringList&)> open)
{
    new FileDropFilter(window, std::move(open));
}

} // namespace app
