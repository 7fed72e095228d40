#pragma once
// Question files dropped on the window open as if chosen in the open dialog.
//
// A drag that carries local files only is taken anywhere on the window,
// whichever control is under the pointer: a text field does not paste the
// file's name, it hands the files to the window like any other control. The
// files open in the order the drag lists them, after the drop event has
// returned (the drag source is released first). A drag of anything else (web
// addresses, plain text, a mix) is refused everywhere in the window, so the
// pointer shows that it cannot be dropped and nothing changes.
//
// A file drag is taken as a copy (or a link when the source offers no copy),
// never as a move, so the source never deletes the file it dropped.

#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

namespace app {

// The local files a drag carries, in order; empty when it carries no URL or
// any URL that is not a local file.
QStringList droppedFiles(const QMimeData* data);

// Makes `window` and every control in it take file drops; `open` receives
// the paths of each drop once the event loop runs again. Lives as long as
// the window.
void acceptFileDrops(QWidget& window, std::function<void(const QStringList&)> open);

} // namespace app
