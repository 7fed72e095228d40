#pragma once
// The presentation timer: a periodic tick on the user-interface thread whose
// real period is never shorter than the desktop timer granularity the tick
// rhythms were designed for.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace platform {

class PresentationTimer : public QObject {
    Q_OBJECT
    // The interval asked for, in milliseconds.
    Q_PROPERTY(int interval READ interval WRITE setInterval)
    // Enabled: ticks come while the interval is positive.
    Q_PROPERTY(bool active READ isActive WRITE setActive)

public:
    // The shortest tick period the timer delivers, whatever interval is asked for.
    static constexpr int GranularityMs = 25;

    explicit PresentationTimer(QObject* parent = nullptr);

    int interval() const { return m_interval; }
    bool isActive() const { return m_active; }

    // The real tick period in ms: max(interval, GranularityMs), or 0 while an
    // interval of 0 or less holds the ticks back.
    int period() const;
    // Milliseconds until the next tick; -1 when no tick is due.
    int remainingTime() const;

    // Keeps the running schedule when the interval is unchanged; a different
    // interval re-arms the timer so the next tick comes one new period later.
    // Throws platform::Error when the system gives no timer.
    void setInterval(int milliseconds);
    // Enabling arms the timer (one period from now); disabling stops it.
    // Enabling an enabled timer changes nothing.
    void setActive(bool active);

signals:
    void timeout();

private:
    void arm();
    void onDue();
    void scheduleNext(qint64 nowNs);

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_nextDueNs = 0;
    int m_interval = 0;
    bool m_active = false;
};

} // namespace platform

// The window declares its timer by this plain name.
using platform::PresentationTimer;
