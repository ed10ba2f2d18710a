#ifndef TAVREL_TYPING_RESULTBRANCH_H
#define TAVREL_TYPING_RESULTBRANCH_H

#include "account/core/rankupload.h"

#include <QObject>
#include <QString>

#include <functional>
#include <utility>

class ChatRoad;
class frmMain;

// What the end of a run posts and decides on, copied once its figures are final, so that a retype
// or a new passage during the branch's waits changes nothing that is posted.
struct FinishedRun
{
    QString line;      // the result line, as the chain put it on the clipboard
    QString shortLine; // the pop-up's form
    QString passage;
    double speed = 0.0;   // the speed text as a number
    double keyRate = 0.0; // cell 1 as a number
    QString wrongCell;    // cell 14
    int wrongCount = 0;
    bool finished = false;
};

// The branches at the end of a run, once its result line is built: the pop-up, the posting of the
// result through the chat road, the upload to the ranking and the automatic next step. The pop-up
// and the posting waits let other commands run meanwhile; the branch then leaves a new passage or
// a new run alone.
class ResultBranch : public QObject
{
    Q_OBJECT

public:
    // What the branch asks of the window's later topics.
    struct Hooks
    {
        // The ranking upload with its conditions; manual: the pop-up was accepted with its upload box.
        std::function<RankUpload::Notice(bool manual)> upload;
        std::function<void(bool runFinished)> nextSegment; // the sending cycle's step after a post
        std::function<void(const QString&, int ms)> notice;
        std::function<bool()> cycleRunning; // a sending cycle runs
    };

    ResultBranch(frmMain* window, ChatRoad* chat, Hooks hooks);

    // A follow or blind run ended with its last character right.
    void followOrBlindEnded(const FinishedRun& run);
    // A free run ended by the user's stop: the pop-up whatever the settings say.
    void freeRunEnded(const FinishedRun& run);
    // Posts the result when the settings allow it, then the sending cycle's next step.
    void sendAndNext(const FinishedRun& run);
    // A post's chat window never came forward: its notice stays in the title, over the preparation
    // of a new run, until that run starts; taking it says the run started.
    bool postLost() const { return m_postLost; }
    bool takePostLost() { return std::exchange(m_postLost, false); }

private:
    bool stillShown(const FinishedRun& run) const;
    bool askToSend(const QString& text);
    void upload(bool manual);
    void automaticNextStep(const FinishedRun& run);

    frmMain* m_window;
    bool m_postLost = false;
    ChatRoad* m_chat;
    Hooks m_hooks;
};

#endif
