#pragma once
// The presentation timer: a periodic tick on the user-interface thread whose
// real period is never shorter than the desktop timer granularity the tick
// rhythms were designed for.

#include <QObject>

#include <condition_variable>
#include <mutex>
#include <thread>

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
    ~PresentationTimer() override;

    int interval() const { return m_interval; }
    bool isActive() const { return m_active; }

    // The real tick period in ms: max(interval, GranularityMs), or 0 while an
    // interval of 0 or less holds the ticks back.
    int period() const;
    // Milliseconds until the next tick; -1 when no tick is due.
    int remainingTime() const;

    // Keeps the running schedule when the interval is unchanged; a different
    // interval re-arms the timer so the next tick comes one new period later.
    void setInterval(int milliseconds);
    // Enabling arms the timer (one period from now); disabling stops it.
    // Enabling an enabled timer changes nothing.
    void setActive(bool active);

signals:
    void timeout();

private:
    void arm();
    void disarm();
    void deliver(quint64 schedule);
    void waitForDueTimes();

    // A waiting thread sleeps until each due time (to well under a
    // millisecond, which the toolkit's millisecond timers cannot do) and
    // posts the tick to this object's thread, where timeout() is emitted.
    std::thread m_waiter;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    // Shared with the waiting thread, under m_mutex:
    bool m_stopping = false;
    bool m_armed = false;
    bool m_tickPosted = false;     // one tick at most waits to be delivered
    quint64 m_schedule = 0;        // changes whenever the schedule is restarted
    qint64 m_periodNs = 0;
    qint64 m_nextDueNs = 0;        // steady clock, ns
    // The user-interface thread's own:
    int m_interval = 0;
    bool m_active = false;
};

} // namespace platform

// The window declares its timer by this plain name.
using platform::PresentationTimer;
