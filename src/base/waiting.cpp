#include "base/waiting.h"

#include <QTimer>

void Interrupt::set()
{
    if (m_set)
        return;
    m_set = true;
    emit fired();
}

void Interrupt::check() const
{
    if (m_set)
        throw Interrupted{};
}

LocalWait::LocalWait(const Interrupt *interrupt) : m_interrupt(interrupt) {}

void LocalWait::done()
{
    m_done = true;
    m_loop.quit();
}

LocalWait::Outcome LocalWait::exec(QDeadlineTimer deadline)
{
    if (m_interrupt && m_interrupt->isSet())
        return Outcome::Interrupted;
    if (m_done)
        return Outcome::Done;

    QMetaObject::Connection onInterrupt;
    if (m_interrupt)
        onInterrupt = QObject::connect(m_interrupt, &Interrupt::fired, &m_loop, &QEventLoop::quit);
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    // The loop may also end because the application quits, which ends every
    // loop; then no loop may wait any more.
    while (!m_done && !(m_interrupt && m_interrupt->isSet()) && !deadline.hasExpired()) {
        if (!deadline.isForever())
            timer.start(std::chrono::milliseconds(qMax<qint64>(1, deadline.remainingTime())));
        if (m_loop.exec() < 0)
            break;
    }
    QObject::disconnect(onInterrupt);
    if (m_done)
        return Outcome::Done;
    if (m_interrupt && m_interrupt->isSet())
        return Outcome::Interrupted;
    if (deadline.hasExpired())
        return Outcome::TimedOut;
    return Outcome::Interrupted;
}
