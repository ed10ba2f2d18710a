#include "platform/x11windowsystem.h"

#include "platform/x11errortrap.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QSet>
#include <QThread>
#include <QWindow>

#include <algorithm>

// Xlib last: its macros (None, Bool, Status, KeyPress, ...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace platform {

namespace {

// WM_STATE values (ICCCM).
constexpr long StateNormal = 1;
constexpr long StateIconic = 3;

// _NET_ACTIVE_WINDOW source indication of a pager: the window manager obeys it without the
// focus-stealing checks it applies to applications.
constexpr long SourcePager = 2;

// Pause between two looks at the active window while an activation is pending.
constexpr int ActivationPollMs = 5;

KeySym keysymOf(int virtualKey)
{
    switch (virtualKey) {
    case vk::Tab:
        return XK_Tab;
    case vk::Control:
        return XK_Control_L;
    case vk::Alt:
        return XK_Alt_L;
    default:
        break;
    }
    // Letter keys carry the lower-case letter on their first level, digit keys the digit.
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    return NoSymbol;
}

} // namespace

struct X11WindowSystem::Private
{
    Display* display = nullptr;
    ::Window root = 0;
    bool hasXTest = false;
    Atom netSupported = 0;
    Atom netClientListStacking = 0;
    Atom netActiveWindow = 0;
    Atom netWmName = 0;
    Atom utf8String = 0;
    Atom wmState = 0;
    Atom wmTakeFocus = 0;

    static ::Window toWindow(WindowHandle handle) { return static_cast<::Window>(handle); }

    // A whole property of the given type and format, the items of format 32 as longs (Xlib's
    // convention). False when the property is missing or of another type.
    bool readProperty(::Window window, Atom property, Atom type, int format, QByteArray* bytes,
                      QVector<long>* longs) const
    {
        Atom actualType = 0;
        int actualFormat = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        // 4 MiB is far beyond any title or window list.
        if (XGetWindowProperty(display, window, property, 0, 1 << 20, False, type, &actualType, &actualFormat, &count,
                               &remaining, &data) != Success)
            return false;
        const bool ok = actualType == type && actualFormat == format && data;
        if (ok && format == 8 && bytes)
            *bytes = QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(count));
        if (ok && format == 32 && longs) {
            const long* items = reinterpret_cast<const long*>(data);
            *longs = QVector<long>(items, items + count);
        }
        if (data)
            XFree(data);
        return ok;
    }

    bool exists(::Window window) const
    {
        XWindowAttributes attributes;
        return window && XGetWindowAttributes(display, window, &attributes) != 0;
    }

    bool windowManagerSupports(Atom hint) const
    {
        QVector<long> atoms;
        return readProperty(root, netSupported, XA_ATOM, 32, nullptr, &atoms) &&
               atoms.contains(static_cast<long>(hint));
    }

    // The WM_STATE of a managed window; -1 when it has none (not managed, or no window manager).
    long state(::Window window) const
    {
        QVector<long> items;
        if (!readProperty(window, wmState, wmState, 32, nullptr, &items) || items.isEmpty())
            return -1;
        return items.first();
    }

    bool visible(::Window window) const
    {
        const long wmStateValue = state(window);
        if (wmStateValue == StateNormal || wmStateValue == StateIconic)
            return true;
        if (wmStateValue != -1)
            return false;
        // Without a window manager nothing sets WM_STATE; a mapped window is then a shown one.
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
    }

    bool takesFocusItself(::Window window) const
    {
        Atom* protocols = nullptr;
        int count = 0;
        if (!XGetWMProtocols(display, window, &protocols, &count))
            return false;
        const bool found = std::find(protocols, protocols + count, wmTakeFocus) != protocols + count;
        XFree(protocols);
        return found;
    }

    bool enabled(::Window window) const
    {
        if (!exists(window))
            return false;
        // ICCCM's "no input" model: input hint false and no WM_TAKE_FOCUS: it never gets the keys.
        XWMHints* hints = XGetWMHints(display, window);
        const bool refusesInput = hints && (hints->flags & InputHint) && !hints->input;
        if (hints)
            XFree(hints);
        return !refusesInput || takesFocusItself(window);
    }

    QString title(::Window window) const
    {
        QByteArray utf8;
        if (readProperty(window, netWmName, utf8String, 8, &utf8, nullptr) && !utf8.isEmpty())
            return QString::fromUtf8(utf8);
        XTextProperty text{};
        if (!XGetWMName(display, window, &text) || !text.value)
            return QString();
        QString result;
        const char* value = reinterpret_cast<const char*>(text.value);
        if (text.encoding == XA_STRING && text.format == 8) {
            result = QString::fromLatin1(value, static_cast<int>(text.nitems));
        } else if (text.encoding == utf8String && text.format == 8) {
            result = QString::fromUtf8(value, static_cast<int>(text.nitems));
        } else {
            // COMPOUND_TEXT and the like: Xlib knows how to turn them into UTF-8.
            char** list = nullptr;
            int count = 0;
            if (Xutf8TextPropertyToTextList(display, &text, &list, &count) >= Success && list) {
                if (count > 0)
                    result = QString::fromUtf8(list[0]);
                XFreeStringList(list);
            }
        }
        XFree(text.value);
        return result;
    }

    // The window under the given child of the root that carries WM_STATE, if any: the client
    // inside a frame of a reparenting window manager.
    ::Window clientUnder(::Window window, int depth) const
    {
        if (state(window) != -1)
            return window;
        if (depth == 0)
            return 0;
        ::Window rootReturn = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count))
            return 0;
        ::Window found = 0;
        for (unsigned int i = 0; i < count && !found; ++i)
            found = clientUnder(children[i], depth - 1);
        if (children)
            XFree(children);
        return found;
    }

    // Managed windows, topmost first.
    QVector<::Window> clients() const
    {
        QVector<long> stacking;
        if (readProperty(root, netClientListStacking, XA_WINDOW, 32, nullptr, &stacking)) {
            QVector<::Window> list;
            for (auto it = stacking.crbegin(); it != stacking.crend(); ++it)
                list.append(static_cast<::Window>(*it));
            return list;
        }
        // No EWMH window manager: the root's children, which XQueryTree gives bottom first.
        ::Window rootReturn = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        QVector<::Window> list;
        if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
            return list;
        for (unsigned int i = count; i-- > 0;) {
            ::Window client = clientUnder(children[i], 2);
            if (!client) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, children[i], &attributes) && !attributes.override_redirect &&
                    attributes.map_state == IsViewable)
                    client = children[i];
            }
            if (client)
                list.append(client);
        }
        if (children)
            XFree(children);
        return list;
    }

    // The child of the root that holds the window: its frame under a reparenting window manager.
    ::Window topAncestor(::Window window) const
    {
        ::Window current = window;
        for (;;) {
            ::Window rootReturn = 0;
            ::Window parent = 0;
            ::Window* children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(display, current, &rootReturn, &parent, &children, &count))
                return 0;
            if (children)
                XFree(children);
            if (!parent || parent == rootReturn)
                return current;
            current = parent;
        }
    }

    ::Window active() const
    {
        if (windowManagerSupports(netActiveWindow)) {
            QVector<long> items;
            if (readProperty(root, netActiveWindow, XA_WINDOW, 32, nullptr, &items) && !items.isEmpty())
                return static_cast<::Window>(items.first());
            return 0;
        }
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        // None and PointerRoot are no window.
        if (focus == 0 || focus == PointerRoot || focus == root)
            return 0;
        return topAncestor(focus);
    }

    // Active and shown: right after a window is minimised the window manager may still name it
    // the active one for a moment.
    bool isActive(::Window window) const { return active() == window && state(window) != StateIconic; }

    bool waitActive(::Window window, const QDeadlineTimer& deadline) const
    {
        for (;;) {
            if (isActive(window))
                return true;
            if (deadline.hasExpired())
                return false;
            QThread::msleep(ActivationPollMs);
        }
    }
};

X11WindowSystem::X11WindowSystem() : d(new Private)
{
    d->display = XOpenDisplay(nullptr);
    if (!d->display)
        return;
    d->root = DefaultRootWindow(d->display);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    d->hasXTest = XTestQueryExtension(d->display, &eventBase, &errorBase, &major, &minor);
    d->netSupported = XInternAtom(d->display, "_NET_SUPPORTED", False);
    d->netClientListStacking = XInternAtom(d->display, "_NET_CLIENT_LIST_STACKING", False);
    d->netActiveWindow = XInternAtom(d->display, "_NET_ACTIVE_WINDOW", False);
    d->netWmName = XInternAtom(d->display, "_NET_WM_NAME", False);
    d->utf8String = XInternAtom(d->display, "UTF8_STRING", False);
    d->wmState = XInternAtom(d->display, "WM_STATE", False);
    d->wmTakeFocus = XInternAtom(d->display, "WM_TAKE_FOCUS", False);
}

X11WindowSystem::~X11WindowSystem()
{
    if (d->display)
        XCloseDisplay(d->display);
}

bool X11WindowSystem::isOpen() const
{
    return d->display != nullptr;
}

QVector<WindowInfo> X11WindowSystem::topLevelWindows()
{
    QVector<WindowInfo> list;
    if (!d->display)
        return list;
    X11ErrorTrap trap(d->display);
    const QVector<::Window> clients = d->clients();
    // The process's own windows by their ids, which the window manager lists as they are: exact,
    // where a process id property may be missing, or another machine's.
    QSet<WindowHandle> own;
    for (const QWindow* window : QGuiApplication::allWindows())
        if (window->handle())
            own.insert(window->winId());
    for (::Window client : clients) {
        // A window destroyed since the list was read is left out.
        if (!d->exists(client))
            continue;
        list.append({client, d->title(client), d->visible(client), d->enabled(client), own.contains(client)});
    }
    return list;
}

QString X11WindowSystem::windowTitle(WindowHandle window)
{
    if (!d->display || !window)
        return QString();
    X11ErrorTrap trap(d->display);
    const QString title = d->title(Private::toWindow(window));
    return trap.failed() ? QString() : title;
}

bool X11WindowSystem::isWindowVisible(WindowHandle window)
{
    if (!d->display || !window)
        return false;
    X11ErrorTrap trap(d->display);
    const bool visible = d->visible(Private::toWindow(window));
    return visible && !trap.failed();
}

bool X11WindowSystem::isWindowEnabled(WindowHandle window)
{
    if (!d->display || !window)
        return false;
    X11ErrorTrap trap(d->display);
    const bool enabled = d->enabled(Private::toWindow(window));
    return enabled && !trap.failed();
}

bool X11WindowSystem::showWindow(WindowHandle window, ShowCommand command)
{
    if (!d->display || !window)
        return false;
    const ::Window target = Private::toWindow(window);
    X11ErrorTrap trap(d->display);
    if (!d->exists(target))
        return false;
    if (command == ShowCommand::ShowNormal) {
        // Mapping an iconic or withdrawn client asks the window manager to show it normally.
        XMapWindow(d->display, target);
    } else {
        XIconifyWindow(d->display, target, DefaultScreen(d->display));
    }
    return !trap.failed();
}

bool X11WindowSystem::setForegroundWindow(WindowHandle window, int timeoutMs)
{
    if (!d->display || !window)
        return false;
    const ::Window target = Private::toWindow(window);
    const QDeadlineTimer deadline(qMax(0, timeoutMs));
    X11ErrorTrap trap(d->display);
    if (!d->exists(target))
        return false;
    // Asked even when the window looks active already: that may be stale, and asking is harmless.
    if (d->windowManagerSupports(d->netActiveWindow)) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = d->netActiveWindow;
        event.xclient.format = 32;
        event.xclient.data.l[0] = SourcePager;
        event.xclient.data.l[1] = CurrentTime;
        event.xclient.data.l[2] = 0;
        XSendEvent(d->display, d->root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(d->display);
        // Half the time for the window manager; the rest for the direct way if it did nothing.
        if (d->waitActive(target, QDeadlineTimer(deadline.remainingTime() / 2)))
            return true;
    }
    // Fails with BadMatch on a window that is not viewable; the trap swallows that.
    XRaiseWindow(d->display, target);
    XSetInputFocus(d->display, target, RevertToParent, CurrentTime);
    XSync(d->display, False);
    return d->waitActive(target, deadline);
}

WindowHandle X11WindowSystem::foregroundWindow()
{
    if (!d->display)
        return 0;
    X11ErrorTrap trap(d->display);
    const ::Window window = d->active();
    return trap.failed() ? 0 : window;
}

bool X11WindowSystem::windowRect(WindowHandle window, QRect* rect)
{
    if (!d->display || !window || !rect)
        return false;
    X11ErrorTrap trap(d->display);
    const ::Window frame = d->topAncestor(Private::toWindow(window));
    XWindowAttributes attributes;
    if (!frame || !XGetWindowAttributes(d->display, frame, &attributes) || trap.failed())
        return false;
    const int border = attributes.border_width;
    *rect = QRect(attributes.x, attributes.y, attributes.width + 2 * border, attributes.height + 2 * border);
    return true;
}

bool X11WindowSystem::clientRect(WindowHandle window, QRect* rect)
{
    if (!d->display || !window || !rect)
        return false;
    const ::Window target = Private::toWindow(window);
    X11ErrorTrap trap(d->display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d->display, target, &attributes))
        return false;
    int x = 0;
    int y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(d->display, target, d->root, 0, 0, &x, &y, &child) || trap.failed())
        return false;
    *rect = QRect(x, y, attributes.width, attributes.height);
    return true;
}

bool X11WindowSystem::keyEvent(int virtualKey, bool keyUp)
{
    if (!d->display || !d->hasXTest)
        return false;
    const KeySym keysym = keysymOf(virtualKey);
    if (keysym == NoSymbol)
        return false;
    const KeyCode keycode = XKeysymToKeycode(d->display, keysym);
    if (keycode == 0)
        return false;
    X11ErrorTrap trap(d->display);
    XTestFakeKeyEvent(d->display, keycode, keyUp ? False : True, CurrentTime);
    return !trap.failed();
}

bool X11WindowSystem::setCursorPos(int x, int y)
{
    if (!d->display || !d->hasXTest)
        return false;
    X11ErrorTrap trap(d->display);
    XTestFakeMotionEvent(d->display, DefaultScreen(d->display), x, y, CurrentTime);
    return !trap.failed();
}

bool X11WindowSystem::mouseLeftButton(bool up)
{
    if (!d->display || !d->hasXTest)
        return false;
    X11ErrorTrap trap(d->display);
    XTestFakeButtonEvent(d->display, Button1, up ? False : True, CurrentTime);
    return !trap.failed();
}

} // namespace platform
