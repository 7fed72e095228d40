#include "platform/PresentationTimer.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>

namespace platform {

namespace {

constexpr qint64 kNsPerMs = 1000000;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

PresentationTimer::PresentationTimer(QObject* parent) : QObject(parent)
{
    m_waiter = std::thread([this] { waitForDueTimes(); });
}

PresentationTimer::~PresentationTimer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_waiter.join();
}

int PresentationTimer::period() const
{
    return m_interval > 0 ? std::max(m_interval, GranularityMs) : 0;
}

int PresentationTimer::remainingTime() const
{
    const std::lock_guard lock(m_mutex);
    if (!m_armed)
        return -1;
    const qint64 remaining = std::max<qint64>(0, m_nextDueNs - nowNs());
    return int((remaining + kNsPerMs - 1) / kNsPerMs);
}

void PresentationTimer::setInterval(int milliseconds)
{
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    if (m_active)
        arm();
}

void PresentationTimer::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (m_active)
        arm();
    else
        disarm();
}

// Starts a fresh schedule: the first tick one period from now.
void PresentationTimer::arm()
{
    {
        const std::lock_guard lock(m_mutex);
        ++m_schedule;
        m_periodNs = qint64(period()) * kNsPerMs;
        m_armed = m_periodNs > 0;
        m_nextDueNs = nowNs() + m_periodNs;
        m_tickPosted = false;
    }
    m_changed.notify_all();
}

void PresentationTimer::disarm()
{
    {
        const std::lock_guard lock(m_mutex);
        ++m_schedule;
        m_armed = false;
        m_tickPosted = false;
    }
    m_changed.notify_all();
}

// On the waiting thread: sleeps until the next due time, posts the tick, and
// moves the due time on by whole periods from the previous due time, so the
// ticks keep their phase and do not drift. While a posted tick has not been
// delivered (the user-interface thread is busy), due times that pass are
// skipped rather than delivered later in a burst.
void PresentationTimer::waitForDueTimes()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_armed) {
            m_changed.wait(lock);
            continue;
        }
        const quint64 schedule = m_schedule;
        const auto due = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(m_nextDueNs));
        if (m_changed.wait_until(lock, due, [&] { return m_stopping || m_schedule != schedule; }))
            continue;
        const qint64 now = nowNs();
        m_nextDueNs += m_periodNs;
        if (m_nextDueNs <= now)
            m_nextDueNs += ((now - m_nextDueNs) / m_periodNs + 1) * m_periodNs;
        if (m_tickPosted)
            continue;
        m_tickPosted = true;
        QMetaObject::invokeMethod(this, [this, schedule] { deliver(schedule); }, Qt::QueuedConnection);
    }
}

// On this object's thread: a tick of the current schedule becomes timeout().
void PresentationTimer::deliver(quint64 schedule)
{
    {
        const std::lock_guard lock(m_mutex);
        if (schedule != m_schedule)
            return; // restarted or stopped since it was posted
        m_tickPosted = false;
    }
    if (m_active && period() > 0)
        emit timeout();
}

} // namespace platform
