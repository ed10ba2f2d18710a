// Main window: the run clock (runclock.h) as the window's start and stop signals drive it, and the
// one-second wall timer.
#include "typing/frmmain.h"
#include "typing/runclock.h"

#include <QTimer>

void frmMain::initTimers()
{
    connect(m_clock, &RunClock::due, this, &frmMain::TimeSlot);
    connect(this, &frmMain::DoStartTimer, m_clock, &RunClock::start, Qt::DirectConnection);
    connect(this, &frmMain::DoStopTimer, m_clock, &RunClock::stop, Qt::DirectConnection);

    // The sending cycle's periodic timer is created here with the sending cycle itself.

    secondTimer = new QTimer(this);
    connect(secondTimer, &QTimer::timeout, this, &frmMain::qtimeSlot);
    secondTimer->start(1000);
}

void frmMain::stopClockThread()
{
    emit DoStopTimer();
    delete m_clock;
    m_clock = nullptr;
}

bool frmMain::clockRunning() const
{
    return m_clock && m_clock->running();
}

void frmMain::TimeSlot()
{
    // A finished run keeps the time it ended with, even while late ticks still arrive.
    if (finished)
        return;
    m_clock->advance();
    updateStatus();
}
