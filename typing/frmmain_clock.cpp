// Main window: the 10 ms run clock in its own thread and the one-second wall timer.
#include "typing/frmmain.h"

#include <QThread>
#include <QTimer>

void frmMain::initTimers()
{
    minutes = 0;
    seconds = 0;
    centis = 0;
    ticks = 0;

    // The clock's timer lives in a thread of its own so long work on the GUI thread cannot delay
    // its period; ticks are counted late then, never lost.
    clockTimer = new QTimer;
    clockTimer->setInterval(10);
    clockThread = new QThread;
    clockThread->start(QThread::InheritPriority);
    clockTimer->moveToThread(clockThread);

    connect(clockTimer, &QTimer::timeout, this, &frmMain::TimeSlot, Qt::QueuedConnection);
    connect(this, &frmMain::DoStartTimer, clockTimer, qOverload<>(&QTimer::start), Qt::QueuedConnection);
    connect(this, &frmMain::DoStopTimer, clockTimer, &QTimer::stop, Qt::QueuedConnection);
    // Whether the clock runs is decided here, at emission, on the GUI thread: the timer's own
    // active state would still read "running" while a stop is queued, and a start asked for in
    // that moment would be lost.
    connect(
        this, &frmMain::DoStartTimer, this, [this] { m_clockRunning = true; }, Qt::DirectConnection);
    connect(
        this, &frmMain::DoStopTimer, this, [this] { m_clockRunning = false; }, Qt::DirectConnection);

    // The sending cycle's periodic timer is created here with the sending cycle itself.

    secondTimer = new QTimer(this);
    connect(secondTimer, &QTimer::timeout, this, &frmMain::qtimeSlot);
    secondTimer->start(1000);
}

void frmMain::stopClockThread()
{
    if (!clockThread)
        return;
    emit DoStopTimer();
    if (clockThread->isRunning()) {
        // Stop the timer inside its own thread and hand it back, so it is deleted where it lives.
        QTimer* timer = clockTimer;
        QThread* home = thread();
        QMetaObject::invokeMethod(
            timer,
            [timer, home] {
                timer->stop();
                timer->moveToThread(home);
            },
            Qt::BlockingQueuedConnection);
        clockThread->quit();
        clockThread->wait();
    }
    delete clockTimer;
    clockTimer = nullptr;
    delete clockThread;
    clockThread = nullptr;
}

QString frmMain::padZero(int value)
{
    return value < 10 ? QStringLiteral("0") + QString::number(value) : QString::number(value);
}

void frmMain::TimeSlot()
{
    ++ticks;
    ++centis;
    if (centis >= 100) {
        centis = 0;
        ++seconds;
        if (seconds >= 60) {
            seconds = 0;
            ++minutes; // minutes are not wrapped: a 100-minute run shows three digits
        }
    }

    // A finished run keeps the time it ended with, even while late ticks still arrive.
    if (finished)
        return;
    updateStatus(padZero(minutes) + QStringLiteral(":"), padZero(seconds) + QStringLiteral("."), padZero(centis),
                 QString::number(ticks));
}
