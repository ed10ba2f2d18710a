#include "typing/runclock.h"

#include <QThread>
#include <QTimer>

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
