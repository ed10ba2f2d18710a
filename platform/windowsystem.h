#ifndef TAVREL_PLATFORM_WINDOWSYSTEM_H
#define TAVREL_PLATFORM_WINDOWSYSTEM_H

#include <QRect>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace platform {

// A top-level window of the desktop: an X window id on X11, a plain number in the fake. Zero is
// "no window", as a null HWND.
using WindowHandle = quintptr;

// Virtual-key codes of the keys the trainer strokes into the chat window. The numbers are those
// of the Windows keyboard calls, so the callers keep the codes they were written with.
namespace vk {
constexpr int Tab = 9;
constexpr int Control = 17;
constexpr int Alt = 18;
constexpr int A = 65;
constexpr int C = 67;
constexpr int S = 83;
constexpr int V = 86;
} // namespace vk

// How showWindow changes a window: restore it to its normal state (SW_SHOWNORMAL: map, de-iconify)
// or minimise it (SW_MINIMIZE: iconify).
enum class ShowCommand { ShowNormal, Minimize };

// One entry of the top-level window list.
struct WindowInfo
{
    WindowHandle handle = 0;
    QString title;
    bool visible = false;
    bool enabled = false;
    // A window of this very process: the trainer's own panels are never another program's.
    bool own = false;
};

// How long the callers let an activation take before they give up on it.
constexpr int DefaultActivationTimeoutMs = 500;

// The desktop as the chat-window road uses it: find top-level windows by title, bring one to the
// front or minimise it, and drive it with simulated keys and a mouse click. Everything runs on the
// GUI thread; no call ever fails fatally: a stale or foreign handle gives false, an empty title or
// an empty rectangle.
//
// Unlike the Windows calls it stands in for, activation reports whether the window really became
// the active one, so a caller sends no keys into whatever else happens to have the focus.
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // The managed top-level windows, topmost first (the order of EnumWindows), each with its title
    // and its visible and enabled states as the single queries below give them, and whether it is
    // one of this process's own.
    virtual QVector<WindowInfo> topLevelWindows() = 0;
    // The window's title (UTF-8 title property, else the legacy name); empty for a bad handle.
    virtual QString windowTitle(WindowHandle window) = 0;
    // Shown on the desktop, minimised included (as IsWindowVisible).
    virtual bool isWindowVisible(WindowHandle window) = 0;
    // The window exists and can take keyboard input. X has no disabled state for a top-level
    // window; the nearest is a window that declares it never takes the focus.
    virtual bool isWindowEnabled(WindowHandle window) = 0;

    // Asks for the change; the window manager carries it out shortly after. False for a bad handle.
    virtual bool showWindow(WindowHandle window, ShowCommand command) = 0;
    // Brings the window to the front with the keyboard focus and waits, at most timeoutMs and
    // without processing events, until it is the active window. True only when it is.
    virtual bool setForegroundWindow(WindowHandle window, int timeoutMs = DefaultActivationTimeoutMs) = 0;
    // The active window, or zero when none is.
    virtual WindowHandle foregroundWindow() = 0;

    // The frame rectangle (title bar and borders included) and the client area, both in screen
    // coordinates. False, and the rectangle untouched, for a bad handle.
    virtual bool windowRect(WindowHandle window, QRect* rect) = 0;
    virtual bool clientRect(WindowHandle window, QRect* rect) = 0;

    // One key going down or up (keybd_event), to whatever window has the focus. False for a code
    // that has no key here.
    virtual bool keyEvent(int virtualKey, bool keyUp) = 0;
    virtual bool setCursorPos(int x, int y) = 0;
    // The left mouse button going down or up at the pointer (mouse_event).
    virtual bool mouseLeftButton(bool up) = 0;

    // The first top-level window, topmost first, whose title equals the given one; zero if none.
    WindowHandle findWindow(const QString& title);
    // Key down and up.
    bool keyStroke(int virtualKey);
    // Modifier down, key down, key up, modifier up: Ctrl+V, Alt+S and the like.
    bool keyChord(int modifierKey, int virtualKey);
    // Left button down, then up.
    bool leftClick();
};

// The window system of this process, chosen on first use: the X11 one when the application runs
// on an X display, else a fake with an empty desktop (offscreen tests), on which every activation
// fails and so no keys are ever sent.
WindowSystem& windowSystem();
// Tests put their own (usually a FakeWindowSystem) in place; not owned. Null returns to the
// chosen one.
void setWindowSystem(WindowSystem* system);

} // namespace platform

#endif
