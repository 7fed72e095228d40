#include "platform/always_on_top.h"

#include <QWidget>

namespace platform {

void setStaysOnTop(QWidget* window, bool onTop)
{
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool wasVisible = window->isVisible();
    const bool wasActive = window->isActiveWindow();
    const QPoint position = window->pos();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop); // hides the window
    if (!wasVisible)
        return;
    window->move(position);
    window->show();
    if (wasActive)
        window->activateWindow();
}

} // namespace platform
