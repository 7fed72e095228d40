#include "app/file_drops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
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
    }

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
        if (type == QEvent::Drop)
            open_(files);
        return true;
    }

private:
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
