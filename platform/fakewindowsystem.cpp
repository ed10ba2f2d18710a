#include "platform/fakewindowsystem.h"

#include <QStringList>

namespace platform {

namespace {

// The calls that only look; callTexts() leaves them out unless asked.
bool isQuery(const QString& name)
{
    return name == QLatin1String("topLevelWindows") || name == QLatin1String("windowTitle") ||
           name == QLatin1String("isWindowVisible") || name == QLatin1String("isWindowEnabled") ||
           name == QLatin1String("foregroundWindow") || name == QLatin1String("windowRect") ||
           name == QLatin1String("clientRect");
}

bool isKnownKey(int virtualKey)
{
    switch (virtualKey) {
    case vk::Tab:
    case vk::Control:
    case vk::Alt:
        return true;
    default:
        // Letters and digits have keys of their own name, as on the real keyboard.
        return (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9');
    }
}

} // namespace

QString FakeWindowSystem::Call::text() const
{
    QStringList parts{name};
    if (window)
        parts << QStringLiteral("0x") + QString::number(window, 16);
    for (const QVariant& arg : args)
        parts << arg.toString();
    return parts.join(QLatin1Char(' '));
}

FakeWindowSystem::FakeWindowSystem()
{
    m_clock.start();
}

void FakeWindowSystem::addWindow(const Window& window)
{
    Q_ASSERT(window.handle != 0 && indexOf(window.handle) < 0);
    m_windows.prepend(window);
}

void FakeWindowSystem::removeWindow(WindowHandle handle)
{
    const int index = indexOf(handle);
    if (index >= 0)
        m_windows.remove(index);
    if (m_foreground == handle)
        m_foreground = 0;
}

FakeWindowSystem::Window* FakeWindowSystem::window(WindowHandle handle)
{
    const int index = indexOf(handle);
    return index >= 0 ? &m_windows[index] : nullptr;
}

void FakeWindowSystem::setForeground(WindowHandle handle)
{
    const int index = indexOf(handle);
    m_foreground = index >= 0 ? handle : 0;
    if (index >= 0)
        raise(index);
}

void FakeWindowSystem::setReaction(std::function<void(const Call&)> reaction)
{
    m_reaction = std::move(reaction);
}

QStringList FakeWindowSystem::callTexts(bool withQueries) const
{
    QStringList texts;
    for (const Call& call : m_calls) {
        if (withQueries || !isQuery(call.name))
            texts << call.text();
    }
    return texts;
}

void FakeWindowSystem::clearCalls()
{
    m_calls.clear();
}

QVector<WindowInfo> FakeWindowSystem::topLevelWindows()
{
    record(QStringLiteral("topLevelWindows"), 0);
    QVector<WindowInfo> list;
    for (const Window& window : qAsConst(m_windows))
        list.append({window.handle, window.title, window.visible, window.enabled, window.own});
    return list;
}

QString FakeWindowSystem::windowTitle(WindowHandle handle)
{
    record(QStringLiteral("windowTitle"), handle);
    const Window* found = window(handle);
    return found ? found->title : QString();
}

bool FakeWindowSystem::isWindowVisible(WindowHandle handle)
{
    record(QStringLiteral("isWindowVisible"), handle);
    const Window* found = window(handle);
    return found && found->visible;
}

bool FakeWindowSystem::isWindowEnabled(WindowHandle handle)
{
    record(QStringLiteral("isWindowEnabled"), handle);
    const Window* found = window(handle);
    return found && found->enabled;
}

bool FakeWindowSystem::showWindow(WindowHandle handle, ShowCommand command)
{
    const bool normal = command == ShowCommand::ShowNormal;
    record(QStringLiteral("showWindow"), handle, {normal ? QStringLiteral("normal") : QStringLiteral("minimize")});
    Window* found = window(handle);
    if (!found)
        return false;
    if (normal) {
        found->visible = true;
        found->minimized = false;
    } else {
        found->visible = true;
        found->minimized = true;
        // A minimised window gives up the focus.
        if (m_foreground == handle)
            m_foreground = 0;
    }
    return true;
}

bool FakeWindowSystem::setForegroundWindow(WindowHandle handle, int timeoutMs)
{
    record(QStringLiteral("setForegroundWindow"), handle, {timeoutMs});
    const int index = indexOf(handle);
    if (index < 0)
        return false;
    Window& found = m_windows[index];
    if (!found.visible || !found.enabled || !found.acceptsActivation)
        return false;
    // As on X11, where the window manager restores a minimised window it is asked to activate.
    found.minimized = false;
    m_foreground = handle;
    raise(index);
    return true;
}

WindowHandle FakeWindowSystem::foregroundWindow()
{
    record(QStringLiteral("foregroundWindow"), 0);
    return m_foreground;
}

bool FakeWindowSystem::windowRect(WindowHandle handle, QRect* rect)
{
    record(QStringLiteral("windowRect"), handle);
    const Window* found = window(handle);
    if (!found || !rect)
        return false;
    *rect = found->frame;
    return true;
}

bool FakeWindowSystem::clientRect(WindowHandle handle, QRect* rect)
{
    record(QStringLiteral("clientRect"), handle);
    const Window* found = window(handle);
    if (!found || !rect)
        return false;
    *rect = found->client;
    return true;
}

bool FakeWindowSystem::keyEvent(int virtualKey, bool keyUp)
{
    record(QStringLiteral("keyEvent"), 0, {virtualKey, keyUp ? QStringLiteral("up") : QStringLiteral("down")});
    if (!isKnownKey(virtualKey))
        return false;
    if (keyUp)
        m_held.removeAll(virtualKey);
    else if (!m_held.contains(virtualKey))
        m_held.append(virtualKey);
    return true;
}

bool FakeWindowSystem::setCursorPos(int x, int y)
{
    record(QStringLiteral("setCursorPos"), 0, {x, y});
    return true;
}

bool FakeWindowSystem::mouseLeftButton(bool up)
{
    record(QStringLiteral("mouseLeftButton"), 0, {up ? QStringLiteral("up") : QStringLiteral("down")});
    return true;
}

void FakeWindowSystem::record(const QString& name, WindowHandle handle, const QVariantList& args)
{
    Call call;
    call.msecs = m_clock.elapsed();
    call.name = name;
    call.window = handle;
    call.args = args;
    call.foreground = m_foreground;
    m_calls.append(call);
    if (m_reaction)
        m_reaction(call);
}

int FakeWindowSystem::indexOf(WindowHandle handle) const
{
    if (!handle)
        return -1;
    for (int i = 0; i < m_windows.size(); ++i) {
        if (m_windows.at(i).handle == handle)
            return i;
    }
    return -1;
}

void FakeWindowSystem::raise(int index)
{
    if (index > 0)
        m_windows.move(index, 0);
}

} // namespace platform
