#ifndef TAVREL_TYPING_RUNCLOCK_H
#define TAVREL_TYPING_RUNCLOCK_H

#include <QObject>
#include <QString>

class QThread;
class QTimer;

// The 10 ms clock of a typing run. Its timer lives in a thread of its own so long work on the GUI
// thread cannot delay its period; ticks are counted late then, never lost. Each period ends in
// `due` on the thread that owns the clock, which then counts the tick (advance).
class RunClock : public QObject
{
    Q_OBJECT

public:
    explicit RunClock(QObject* parent = nullptr);
    ~RunClock() override;

    // Whether the clock runs is decided on the owner's thread, at the call: the timer's own active
    // state would still read "running" while a stop is queued, and a start asked for in that moment
    // would be lost.
    void start();
    void stop();
    bool running() const { return m_running; }

    // Zero time.
    void reset() { m_ticks = 0; }
    // One tick counted. The time shown is made from the ticks (clockText in core/results.h).
    void advance() { ++m_ticks; }
    int ticks() const { return m_ticks; }

signals:
    void due();

private:
    QTimer* m_timer = nullptr;
    QThread* m_thread = nullptr;
    bool m_running = false;
    int m_ticks = 0;
};

#endif
