#ifndef TAVREL_PLATFORM_FAKEWINDOWSYSTEM_H
#define TAVREL_PLATFORM_FAKEWINDOWSYSTEM_H

#include "platform/windowsystem.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QVariantList>

#include <functional>

namespace platform {

// A scripted desktop for tests of the chat-window road. Windows are added by the test; calls
// change them the way a window manager would (activation raises and restores, minimising drops
// the focus) and every call is recorded with its monotonic time and the window that was in front
// when it happened, which is where a real key would have gone.
class FakeWindowSystem : public WindowSystem
{
public:
    struct Window
    {
        WindowHandle handle = 0;
        QString title;
        bool visible = true;
        bool enabled = true;
        bool minimized = false;
        // False for a window whose activation the desktop refuses.
        bool acceptsActivation = true;
        QRect frame;
        QRect client;
        // One of the trainer's own windows.
        bool own = false;
    };

    struct Call
    {
        // Milliseconds since the fake was made, on a monotonic clock.
        qint64 msecs = 0;
        // The member called: "keyEvent", "showWindow", "setForegroundWindow", ...
        QString name;
        // The window argument, zero for calls without one.
        WindowHandle window = 0;
        // The other arguments in order: key code and "down"/"up", "normal"/"minimize", x and y.
        QVariantList args;
        // The active window at the time of the call (before it took effect).
        WindowHandle foreground = 0;

        // A compact form for comparisons in tests: "keyEvent 17 down", "showWindow 0x2a minimize".
        QString text() const;
    };

    FakeWindowSystem();

    // ---- the scripted desktop ----
    // Adds a window on top of the others. Handles must be unique and non-zero.
    void addWindow(const Window& window);
    void removeWindow(WindowHandle handle);
    // The window to change in place; null when there is none.
    Window* window(WindowHandle handle);
    // Makes a window active without recording a call (the user clicked it); zero for none.
    void setForeground(WindowHandle handle);
    // Called as each call is recorded, before it takes effect, so a test can script the desktop's
    // reaction (for instance put a copied history on the clipboard when Ctrl+C arrives).
    void setReaction(std::function<void(const Call&)> reaction);

    // ---- what happened ----
    const QVector<Call>& calls() const { return m_calls; }
    // text() of each call; with queries false, only the calls that change something.
    QStringList callTexts(bool withQueries = false) const;
    void clearCalls();
    // Keys down at the moment, in the order they went down.
    QVector<int> heldKeys() const { return m_held; }

    // ---- WindowSystem ----
    QVector<WindowInfo> topLevelWindows() override;
    QString windowTitle(WindowHandle window) override;
    bool isWindowVisible(WindowHandle window) override;
    bool isWindowEnabled(WindowHandle window) override;
    bool showWindow(WindowHandle window, ShowCommand command) override;
    bool setForegroundWindow(WindowHandle window, int timeoutMs = DefaultActivationTimeoutMs) override;
    WindowHandle foregroundWindow() override;
    bool windowRect(WindowHandle window, QRect* rect) override;
    bool clientRect(WindowHandle window, QRect* rect) override;
    bool keyEvent(int virtualKey, bool keyUp) override;
    bool setCursorPos(int x, int y) override;
    bool mouseLeftButton(bool up) override;

private:
    void record(const QString& name, WindowHandle window, const QVariantList& args = {});
    int indexOf(WindowHandle handle) const;
    void raise(int index);

    // Topmost first.
    QVector<Window> m_windows;
    WindowHandle m_foreground = 0;
    QVector<int> m_held;
    QVector<Call> m_calls;
    QElapsedTimer m_clock;
    std::function<void(const Call&)> m_reaction;
};

} // namespace platform

#endif
