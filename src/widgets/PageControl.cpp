#include "widgets/PageControl.h"

#include <QEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTabBar>

namespace platform {

namespace {

// The tab row: its mouse, key and wheel input are the user's page changes.
class PageTabBar : public QTabBar {
public:
    explicit PageTabBar(PageControl* owner) : QTabBar(owner), owner_(owner) {}

protected:
    bool event(QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::KeyPress:
        case QEvent::Wheel: {
            bool result = false;
            owner_->runUserInput([&] { result = QTabBar::event(event); });
            return result;
        }
        case QEvent::ToolTip:
            return true;
        default:
            return QTabBar::event(event);
        }
    }

private:
    PageControl* owner_;
};

} // namespace

PageControl::PageControl(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new PageTabBar(this));
}

void PageControl::keyPressEvent(QKeyEvent* event)
{
    runUserInput([&] { QTabWidget::keyPressEvent(event); });
}

void PageControl::reportUserChange(int before)
{
    const int after = currentIndex();
    if (after == before || before < 0)
        return;
    // Go back to the old page without notifying anyone, so the handler of
    // the coming change sees the page being left, then make the change.
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(before);
    }
    emit userChanging();
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(after);
    }
    emit userChanged();
}

} // namespace platform
