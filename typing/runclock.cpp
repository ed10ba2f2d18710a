#include "typing/runclock.h"

#include "typing/core/results.h"

#include <QThread>
#include <QTimer>

namespace {

QString twoDigits(int value)
{
    QString text = QString::number(value);
    padZero(text, 2);
    return text;
}

} // namespace

RunClock::RunClock(QObject* parent) : QObject(parent)
{
    m_timer = new QTimer;
    m_timer->setInterval(10);
    m_thread = new QThread;
    m_thread->start(QThread::InheritPriority);
    m_timer->moveToThread(m_thread);
    connect(m_timer, &QTimer::timeout, this, &RunClock::due, Qt::QueuedConnection);
}

RunClock::~RunClock()
{
    if (m_thread->isRunning()) {
        // Stop the timer inside its own thread and hand it back, so it is deleted where it lives.
        QTimer* timer = m_timer;
        QThread* home = thread();
        QMetaObject::invokeMethod(
            timer,
            [timer, home] {
                timer->stop();
                timer->moveToThread(home);
            },
            Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
    }
    delete m_timer;
    delete m_thread;
}

void RunClock::start()
{
    m_running = true;
    QMetaObject::invokeMethod(m_timer, qOverload<>(&QTimer::start), Qt::QueuedConnection);
}

void RunClock::stop()
{
    m_running = false;
    QMetaObject::invokeMethod(m_timer, &QTimer::stop, Qt::QueuedConnection);
}

void RunClock::reset()
{
    m_minutes = m_seconds = m_centis = m_ticks = 0;
}

void RunClock::advance()
{
    ++m_ticks;
    ++m_centis;
    if (m_centis >= 100) {
        m_centis = 0;
        ++m_seconds;
        if (m_seconds >= 60) {
            m_seconds = 0;
            ++m_minutes; // minutes are not wrapped: a 100-minute run shows three digits
        }
    }
}

QString RunClock::minutesText() const
{
    return twoDigits(m_minutes) + QStringLiteral(":");
}

QString RunClock::secondsText() const
{
    return twoDigits(m_seconds) + QStringLiteral(".");
}

QString RunClock::centisText() const
{
    return twoDigits(m_centis);
}
