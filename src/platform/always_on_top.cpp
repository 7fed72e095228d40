#include "platform/always_on_top.h"

#include <QWidget>
#include <QWindow>

namespace platform {

void setStaysOnTop(QWidget* window, bool onTop)
{
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const Qt::WindowFlags flags = window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop);
    QWindow* native = window->windowHandle();
    if (!native) {
        window->setWindowFlags(flags); // not created yet: taken at creation
        return;
    }
    // Changed on the native window in place. QWidget::setWindowFlags would
    // hide and show the window again; the widget side of the toolkit then
    // forgets which window is active while the window keeps the keyboard
    // focus, and no control of the window could take the focus any more.
    window->overrideWindowFlags(flags);
    native->setFlags(flags);
}

} // namespace platform
