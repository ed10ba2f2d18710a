#ifndef TAVREL_PLATFORM_KEYSOURCE_H
#define TAVREL_PLATFORM_KEYSOURCE_H

#include <QAbstractNativeEventFilter>
#include <QTimer>
#include <QtGlobal>

#include <bitset>
#include <functional>

namespace platform {

// The keyboard hook of the running program on X11: every key press and release that the X server
// delivers to our own windows is turned into one key word (keyword.h) and handed to the receiver
// the owner gives it; start-up hands the words to the key counting of a run.
//
// It is a native event filter on Qt's own xcb connection, so it sees each physical key event
// exactly once and before any widget, shortcut or input method does: an application-wide QEvent
// filter would see one key several times (once per object on its way) and miss the keys an input
// method consumes. It only looks: the filter never swallows an event.
//
// Auto-repeat: X either sends a release and a press with the same time stamp for every repeat,
// or, with detectable auto-repeat, only presses. Both come out as one first press followed by
// presses with the repeat bit, and one release at the end. Qt's own connection keeps the first
// mode, because Qt derives QKeyEvent::isAutoRepeat() from those release/press pairs and the typing
// pane's filter relies on it; so a release is held back until it is clear that no repeat press of
// the same key and time follows it: the next key event, or a turn of the event loop on which the X
// server reports the key up. Under load the pair's press can reach us several turns after its
// release, so the turn alone is no proof; while the server still holds the key down, the release
// waits.
//
// Key events reported on the root window come from a passive grab (the system-wide hot key) and
// are not counted, as a registered hot key never reaches a keyboard hook either.
//
// Start-up makes one after the main window is shown and installs it for the life of the process;
// keys pressed before that are not counted. Everything runs on the GUI thread.
class KeySource : public QAbstractNativeEventFilter
{
public:
    // Receives every key word with a scan code, on the GUI thread.
    using Callback = std::function<void(quint16 word)>;

    explicit KeySource(Callback callback);
    ~KeySource() override;

    KeySource(const KeySource&) = delete;
    KeySource& operator=(const KeySource&) = delete;

    // Starts watching the application's key events. False, and nothing installed, when the
    // application does not run on an X display (offscreen tests, another platform) or no
    // application object exists. Installing twice is harmless.
    bool install();
    // Stops watching; a held-back release is delivered first. Also done by the destructor.
    void remove();

    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

private:
    void keyPress(quint8 keycode, quint16 state, quint32 time);
    void keyRelease(quint8 keycode, quint16 state, quint32 time);
    void flushPendingRelease();
    void settlePendingRelease();
    bool keyStillDown(quint8 keycode);
    bool altHeld(quint16 state) const;
    void deliver(quint16 word);

    Callback m_callback;
    bool m_installed = false;
    // Keys we have seen go down and not yet up, by X key code.
    std::bitset<256> m_down;
    // A release held back until we know it was not half of an auto-repeat pair.
    bool m_hasPendingRelease = false;
    quint8 m_pendingKeycode = 0;
    quint32 m_pendingTime = 0;
    quint16 m_pendingWord = 0;
    // The last release actually delivered, for a repeat press that arrives after the hold ended.
    bool m_hasLastRelease = false;
    quint8 m_lastReleaseKeycode = 0;
    quint32 m_lastReleaseTime = 0;
    QTimer m_flushTimer;
    // Our own connection for asking the server which keys are down; opened on first need.
    void* m_keymapDisplay = nullptr;
    bool m_keymapTried = false;
};

} // namespace platform

#endif
