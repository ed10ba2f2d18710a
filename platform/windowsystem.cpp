#include "platform/windowsystem.h"

#include "platform/display.h"
#include "platform/fakewindowsystem.h"
#include "platform/x11windowsystem.h"

#include <memory>

namespace platform {

WindowHandle WindowSystem::findWindow(const QString& title)
{
    const QVector<WindowInfo> windows = topLevelWindows();
    for (const WindowInfo& window : windows) {
        if (window.title == title)
            return window.handle;
    }
    return 0;
}

bool WindowSystem::keyStroke(int virtualKey)
{
    const bool down = keyEvent(virtualKey, false);
    const bool up = keyEvent(virtualKey, true);
    return down && up;
}

bool WindowSystem::keyChord(int modifierKey, int virtualKey)
{
    // Every step is sent even when one fails, so no key is left held down.
    bool ok = keyEvent(modifierKey, false);
    ok = keyEvent(virtualKey, false) && ok;
    ok = keyEvent(virtualKey, true) && ok;
    ok = keyEvent(modifierKey, true) && ok;
    return ok;
}

bool WindowSystem::leftClick()
{
    const bool down = mouseLeftButton(false);
    const bool up = mouseLeftButton(true);
    return down && up;
}

namespace {

WindowSystem* s_injected = nullptr;

WindowSystem& chosenWindowSystem()
{
    static std::unique_ptr<WindowSystem> chosen = []() -> std::unique_ptr<WindowSystem> {
        if (x11Available()) {
            auto x11 = std::make_unique<X11WindowSystem>();
            if (x11->isOpen())
                return x11;
            qWarning("窗口系统: 无法连接 X 显示，模拟按键不可用");
        }
        return std::make_unique<FakeWindowSystem>();
    }();
    return *chosen;
}

} // namespace

WindowSystem& windowSystem()
{
    return s_injected ? *s_injected : chosenWindowSystem();
}

void setWindowSystem(WindowSystem* system)
{
    s_injected = system;
}

} // namespace platform
