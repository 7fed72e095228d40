#include "platform/PresentationTimer.h"

#include "platform/errors.h"

#include <algorithm>
#include <chrono>

namespace platform {

namespace {
constexpr qint64 kNsPerMs = 1000000;
}

PresentationTimer::PresentationTimer(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_clock.start();
    connect(&m_timer, &QTimer::timeout, this, &PresentationTimer::onDue);
}

int PresentationTimer::period() const
{
    return m_interval > 0 ? std::max(m_interval, GranularityMs) : 0;
}

int PresentationTimer::remainingTime() const
{
    return m_timer.isActive() ? m_timer.remainingTime() : -1;
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
        m_timer.stop();
}

// Starts a fresh schedule: the first tick one period from now.
void PresentationTimer::arm()
{
    m_timer.stop();
    if (period() == 0)
        return;
    const qint64 now = m_clock.nsecsElapsed();
    m_nextDueNs = now;
    scheduleNext(now);
    if (!m_timer.isActive())
        raiseNoTimer();
}

void PresentationTimer::onDue()
{
    if (!m_active || period() == 0)
        return;
    // Re-arm before the tick's own work so that work does not delay the
    // schedule, and so a handler that changes the interval re-arms cleanly.
    scheduleNext(m_clock.nsecsElapsed());
    emit timeout();
}

// Moves the due time on by whole periods from the previous due time, so the
// ticks keep their phase and do not drift. Due times already passed (the
// event loop was busy) are skipped rather than delivered in a burst.
void PresentationTimer::scheduleNext(qint64 nowNs)
{
    const qint64 periodNs = qint64(period()) * kNsPerMs;
    m_nextDueNs += periodNs;
    if (m_nextDueNs <= nowNs)
        m_nextDueNs += ((nowNs - m_nextDueNs) / periodNs + 1) * periodNs;
    const qint64 waitMs = (m_nextDueNs - nowNs + kNsPerMs - 1) / kNsPerMs;
    m_timer.start(std::chrono::milliseconds(waitMs));
}

} // namespace platform
