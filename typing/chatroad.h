#ifndef TAVREL_TYPING_CHATROAD_H
#define TAVREL_TYPING_CHATROAD_H

#include <QObject>
#include <QString>
#include <QVector>

#include "typing/core/capture.h"

class QAction;
class QMenu;
class QRect;

// The road to the chat window beside the trainer: finding it by its title (the binding lives in
// App::ChatTitle, App::ChatHwnd and App::ChatTitles), the group menu and the next-group command,
// the posting sequence (paste, send, then back to the trainer or minimise) and the capture of the
// newest posted segment.
//
// Every operation that drives the chat window goes through one queue: its waits keep the event
// loop running, so a hot key or a timer can ask for another post or capture in the middle of one;
// that one then runs after the current one, with the text it was asked with, and two messages
// never mix in the chat's input.
class ChatRoad : public QObject
{
    Q_OBJECT

public:
    explicit ChatRoad(QObject* parent = nullptr);

    // The one wait of the window: events are served for ms, false if the application quits meanwhile.
    static bool wait(int ms);

    // ---- Binding ----
    // Looks through the top-level windows: the own window, the chat titles, the bound chat's handle.
    void enumerateWindows();
    // Binds to App::ChatTitle as it stands and tells the bottom bar (bindingChanged).
    void bind();
    // The group menu: "刷新", "潜水", a separator and one entry per chat title.
    void attachMenu(QMenu* menu);
    // "刷新": the titles are listed afresh.
    void refresh();
    // A group menu entry was chosen.
    void choose(QAction* action);
    // The next chat title in the list, round.
    void nextGroup();
    // The bottom bar's chat text: the lurk text, or the bound title as markup with the title
    // escaped (blue while lurking in a group).
    QString labelText() const { return m_labelText; }
    QString labelToolTip() const { return m_labelToolTip; }
    bool usable(bool lurkTest) const;
    void minimizeChat();

    // ---- Operations, in the one queue ----
    // Puts text on the clipboard and, when the chat window is usable, pastes and sends it there.
    void post(const QString& text);
    // Copies the chat's history and lays its newest segment (segmentCaptured).
    void capture();
    // The same from what the clipboard already holds.
    void parseClipboard();

signals:
    void bindingChanged();
    // A short message for the title bar, shown for ms (its wait runs inside the operation).
    void notice(const QString& message, int ms);
    void segmentCaptured(const CapturedSegment& segment);
    // A post found its chat window never coming forward: nothing was sent.
    void postLost();

private:
    struct Operation
    {
        enum Kind { Post, Capture, ParseClipboard };
        Kind kind = Post;
        QString text; // a post's message, fixed when the post was asked for
    };
    void run(const Operation& operation);
    void rebuildMenu();
    bool postNow(const QString& text);
    enum class Activation { Active, Refused, Quit };
    Activation bringForward(quintptr chat, const QString& failure, int noticeMs);
    bool stillInFront(quintptr chat, const QString& failure);
    bool rectangles(quintptr chat, QRect* frame, QRect* client, bool* settled);
    void afterSend(quintptr chat);
    bool captureNow();
    bool parseClipboardNow();

    QString m_labelText;
    QString m_labelToolTip;
    int m_index = 0;
    QMenu* m_menu = nullptr;
    QVector<Operation> m_queue;
    bool m_busy = false;
};

#endif
