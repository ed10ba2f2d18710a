#ifndef TAVREL_PLATFORM_X11WINDOWSYSTEM_H
#define TAVREL_PLATFORM_X11WINDOWSYSTEM_H

#include "platform/windowsystem.h"

#include <memory>

namespace platform {

// The desktop of an X server with an EWMH window manager (openbox, and any other that keeps
// _NET_CLIENT_LIST_STACKING and _NET_ACTIVE_WINDOW), driven over a private Xlib connection:
// - the window list is the window manager's stacking list, topmost first;
// - a window counts as visible in the Normal and the Iconic state of WM_STATE, so a minimised
//   chat window is still found;
// - activation asks the window manager as a pager does (source indication 2), which no focus-
//   stealing rule refuses, and falls back to raising the window and setting the input focus;
// - keys and clicks go through XTest, each virtual-key code pressed as the key that carries the
//   matching keysym in the current keymap.
// A private connection keeps our requests, and the errors a stale handle causes, out of Qt's own
// connection: every call runs under an error handler of its own that only counts errors.
class X11WindowSystem : public WindowSystem
{
public:
    // Connects to the display named by DISPLAY; isOpen() says whether that worked. Without a
    // connection every call answers as for a bad handle.
    X11WindowSystem();
    ~X11WindowSystem() override;

    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    bool isOpen() const;

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
    struct Private;
    const std::unique_ptr<Private> d;
};

} // namespace platform

#endif
