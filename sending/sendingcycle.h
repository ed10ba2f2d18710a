#ifndef TAVREL_SENDING_SENDINGCYCLE_H
#define TAVREL_SENDING_SENDINGCYCLE_H

#include "sending/core/segmentcycle.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class Form;
class Fwstate;
class QWidget;
class quxian;

// What the sending side needs of the main window. The main window fills it in when it builds the
// part; nothing here keeps a pointer into the window's own state.
struct SendingHost
{
    QWidget* window = nullptr; // parent of the message boxes
    // Resets the run, sets the text title and the segment label, lays the text into the panes.
    std::function<void(const QString& title, const QString& header, const QString& text)> layPassage;
    // The passage as the panes hold it after laying.
    std::function<QString()> passage;
    // Posts a message into the bound chat window through the window's one queue of chat operations.
    std::function<void(const QString& message)> post;
    std::function<bool()> freeTyping;
    std::function<bool()> maximised;
    std::function<void()> focusTypingPane;
    // A message in the window's title; ms < 0 keeps it until the next title change. Rich text.
    std::function<void(const QString& message, int ms)> titleMessage;
};

// The main window's sending side: the sending window it opens, the cycle that lays and posts a
// handed text segment by segment (after a run, by period or on command, wrapping at the end), the
// sending-state panel beside the window, the saved progress, and the speed-curve window.
class SendingCycle : public QObject
{
    Q_OBJECT

public:
    enum class Trigger { Command, Period, RunEnd };

    explicit SendingCycle(SendingHost host, QObject* parent = nullptr);
    ~SendingCycle() override;

    // Where "文章" and "跟打进度" are (the program's folder unless set).
    void setDataFolder(const QString& folder) { m_dataFolder = folder; }
    // The cycle's state has its one copy here; the window reads it through these.
    bool isRunning() const { return m_running; }
    const SegmentCycle& segments() const { return m_cycle; }
    Fwstate* panel() const;
    quxian* curveWindow() const;

signals:
    void state(const QString& title, const QString& header, const QString& fullText, const QString& sentSoFar);

public slots:
    // A text handed over by the sending window: the cycle starts at segment 1.
    void start(int segLength, const QString& name, const QString& fullText, const QString& part, const QString& notice);
    void advance(Trigger trigger = Trigger::Command);
    // After a posted result: the next segment when the send mode asks for it and the run finished.
    void advanceAfterRun(bool runFinished);
    void stop();
    void openSendingWindow();
    void saveProgress();
    // The boss key and the window's restore hide and show the panel while a cycle runs.
    void setPanelVisible(bool visible);
    void followMainWindow();

    // ---- Speed curve ----
    void toggleCurve();
    void curveClosed(const QString& name);
    void showSpeeds(const QString& speeds);

private:
    void publish() const;
    void emitState();
    void postCurrent();
    void armPeriodicSend();
    void holdSegments();
    void message(const QString& text, int type);

    SendingHost m_host;
    SegmentCycle m_cycle;
    QString m_title;
    bool m_running = false;
    bool m_posting = false;
    QString m_dataFolder;
    QTimer m_periodTimer; // the send mode "周期发文"; a child, found by its name
    QPointer<Form> m_form;
    QPointer<Fwstate> m_panel;
    QPointer<quxian> m_curve;
};

#endif
