#include "platform/window_lifetime.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

// X11 wire layout of a DestroyNotify event: type 17 in the first byte (the
// top bit marks events sent by clients), the destroyed window at byte 8.
constexpr std::uint8_t kDestroyNotify = 17;
constexpr int kDestroyedWindowOffset = 8;

class DestroyedOutsideWatch : public QObject, public QAbstractNativeEventFilter {
public:
    explicit DestroyedOutsideWatch(QWidget* window) : QObject(window), window_(window)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~DestroyedOutsideWatch() override
    {
        if (auto* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t" || !window_ || !window_->testAttribute(Qt::WA_WState_Created))
            return false;
        const auto* bytes = static_cast<const std::uint8_t*>(message);
        if ((bytes[0] & 0x7f) != kDestroyNotify)
            return false;
        std::uint32_t destroyed = 0;
        std::memcpy(&destroyed, bytes + kDestroyedWindowOffset, sizeof destroyed);
        // The toolkit replaces native windows now and then; only the one the
        // window has now counts.
        if (destroyed == std::uint32_t(window_->winId()))
            QCoreApplication::quit();
        return false;
    }

private:
    QPointer<QWidget> window_;
};

} // namespace

void quitWhenDestroyedOutside(QWidget* window)
{
    new DestroyedOutsideWatch(window);
}

} // namespace platform
