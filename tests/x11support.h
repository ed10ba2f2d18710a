#ifndef TAVREL_X11SUPPORT_H
#define TAVREL_X11SUPPORT_H

// Real input on the X display for the tests that need one: keys and clicks made by XTest on the
// test's own connection, as a user makes them, and the stand-in chat program in its own process.
#include "platform/display.h"
#include "platform/hotkey.h"
#include "platform/windowsystem.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QResizeEvent>
#include <QTextEdit>
#include <QtTest> // with the whole of QtCore

#include <functional>

// Xlib last: its macros clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef None
#undef Bool
#undef Status
#undef Unsorted

namespace xt {

using KeySyms = QVector<quint32>;

// How long a test waits for an answer from the display: the window manager mapping, framing,
// moving, focusing or iconifying a window, another program reading its keys. It comes within
// milliseconds, but on a loaded machine (two cores, the fuzz targets running beside) the window
// manager may be held back for seconds. A wait ends as soon as its condition holds; one that runs
// to this ceiling is a fault.
constexpr int kAnswerMs = 20000;

inline bool waitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, kAnswerMs);
}
inline bool exposed(QWidget* window)
{
    return QTest::qWaitForWindowExposed(window, kAnswerMs);
}
inline bool active(QWidget* window)
{
    return QTest::qWaitForWindowActive(window, kAnswerMs);
}

// The sizes top-level widgets last asked for, told apart from the window manager's reports, which
// come late and may bring back an earlier size after a later request.
class SizeRequests : public QObject
{
public:
    SizeRequests() { QCoreApplication::instance()->installEventFilter(this); }
    // The size `window` asked for is the size the toolkit and the X server have.
    bool settled(QWidget* window) const
    {
        QRect placed;
        return platform::windowSystem().clientRect(window->winId(), &placed) && placed.size() == window->size() &&
               m_asked.value(window, window->size()) == window->size();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && !event->spontaneous() && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            m_asked.insert(watched, static_cast<QResizeEvent*>(event)->size());
        return false;
    }

private:
    QHash<const QObject*, QSize> m_asked;
};

// The test's own connection to the display: XTest events made on it reach windows as a user's do.
class XInput
{
public:
    XInput() : m_display(XOpenDisplay(nullptr)) {}
    ~XInput()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;

    bool isOpen() const
    {
        int event = 0, error = 0, major = 0, minor = 0;
        return m_display && XTestQueryExtension(m_display, &event, &error, &major, &minor);
    }
    Display* display() const { return m_display; }
    // The window manager shows the window minimised: its WM_STATE is Iconic.
    bool iconic(platform::WindowHandle window) const
    {
        const Atom wmState = XInternAtom(m_display, "WM_STATE", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(m_display, window, wmState, 0, 1, False, wmState, &type, &format, &count, &after, &data);
        const bool shown = data && format == 32 && count == 1 && *reinterpret_cast<const long*>(data) == IconicState;
        if (data)
            XFree(data);
        return shown;
    }
    // Mapped, and every window above it: on the screen as far as the X server is concerned.
    bool viewable(platform::WindowHandle window) const
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state == IsViewable;
    }
    quint8 keycode(quint32 keysym) const { return quint8(XKeysymToKeycode(m_display, keysym)); }

    void key(quint8 keycode, bool press)
    {
        XTestFakeKeyEvent(m_display, keycode, press, CurrentTime);
        XFlush(m_display);
    }
    void sym(quint32 keysym, bool press) { key(keycode(keysym), press); }
    // Modifiers down, the key down and up, modifiers up.
    void chord(const KeySyms& modifiers, quint32 keysym)
    {
        for (quint32 modifier : modifiers)
            sym(modifier, true);
        sym(keysym, true);
        sym(keysym, false);
        for (int i = modifiers.size() - 1; i >= 0; --i)
            sym(modifiers.at(i), false);
        XSync(m_display, False);
    }
    void click(int button, QWidget* target) { click(button, target->mapToGlobal(target->rect().center())); }
    void click(int button, const QPoint& at) { drag(at, at, button); }
    // Pressed at `from`, moved to `to` in steps as a hand moves it, released; a click where they meet.
    void drag(const QPoint& from, const QPoint& to, int button = 1)
    {
        const int screen = DefaultScreen(m_display);
        XTestFakeMotionEvent(m_display, screen, from.x(), from.y(), CurrentTime);
        XTestFakeButtonEvent(m_display, unsigned(button), True, CurrentTime);
        for (int step = 1; from != to && step <= 4; ++step) {
            const QPoint at = from + (to - from) * step / 4;
            XTestFakeMotionEvent(m_display, screen, at.x(), at.y(), CurrentTime);
        }
        XTestFakeButtonEvent(m_display, unsigned(button), False, CurrentTime);
        XFlush(m_display);
    }

    unsigned numLockMask() const { return XkbKeysymToModifiers(m_display, XK_Num_Lock); }
    // True once the server has Caps Lock and Num Lock as asked.
    bool setLocks(bool caps, bool num)
    {
        const unsigned all = LockMask | numLockMask();
        const unsigned wanted = (caps ? LockMask : 0) | (num ? numLockMask() : 0);
        XkbLockModifiers(m_display, XkbUseCoreKbd, all, wanted);
        return waitFor([&] {
            XkbStateRec state;
            XkbGetState(m_display, XkbUseCoreKbd, &state);
            return (state.locked_mods & all) == wanted;
        });
    }

    // Taps the character's key into the focused pane; true once the pane shows one more character.
    bool typeInto(QTextEdit* pane, QChar c)
    {
        const QByteArray name = c == ' '   ? "space"
                                : c == ';' ? "semicolon"
                                : c == '.' ? "period"
                                           : QByteArray(1, c.toLatin1());
        const quint8 code = keycode(XStringToKeysym(name.constData()));
        const int before = pane->toPlainText().size();
        key(code, true);
        key(code, false);
        const bool shown = waitFor([&] { return pane->toPlainText().size() == before + 1; });
        QTest::qWait(5); // the next key's time stamp differs, so it never looks like an auto-repeat
        return shown;
    }

private:
    Display* m_display;
};

// The key presses (and middle-button releases) that reach a widget, before anything filters them.
class InputRecorder : public QObject
{
public:
    QVector<int> keys;
    int middleReleases = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys << static_cast<QKeyEvent*>(event)->key();
        else if (event->type() == QEvent::MouseButtonRelease)
            middleReleases += static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
        return QObject::eventFilter(watched, event);
    }
};

// Ctrl+Shift+F12 as a hot key, pressed after a case's keys: once it fires, the hot-key connection
// has handled every earlier key, so "no more presses" is checked without waiting for a time.
class Sentinel
{
public:
    explicit Sentinel(XInput& input) : m_input(input)
    {
        QObject::connect(&m_hotKey, &platform::HotKey::pressed, [this] { ++m_count; });
        m_hotKey.grab(0x7B, platform::HotKeyControl | platform::HotKeyShift);
    }
    bool settle()
    {
        const int before = m_count;
        m_input.chord({XK_Control_L, XK_Shift_L}, XK_F12);
        return waitFor([&] { return m_count > before; }) && m_count == before + 1;
    }

private:
    XInput& m_input;
    platform::HotKey m_hotKey;
    int m_count = 0;
};

// The stand-in chat program, with its inbox and sent folders under `dir`.
class ChatStub
{
public:
    static QString title() { return QStringLiteral("测试群"); }

    ~ChatStub()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    // Its window once the window manager lists and shows it; 0 when it does not come.
    platform::WindowHandle start(const QString& dir, platform::WindowSystem& ws)
    {
        m_dir = dir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tavrel_chatstub"),
                        {"--group", title(), "--sent", dir + "/sent", "--inbox", dir + "/inbox"});
        platform::WindowHandle window = 0;
        const bool shown =
            waitFor([&] { return (window = ws.findWindow(title())) != 0 && ws.isWindowVisible(window); });
        return shown ? window : 0;
    }
    // A message of the other member ("msg"; or "late": how late the window comes forward, in ms);
    // true once the stub has taken it (it removes the file).
    bool receive(const QString& text, const QString& kind = QStringLiteral("msg"))
    {
        const QString base = QStringLiteral("%1/inbox/%2").arg(m_dir).arg(++m_received, 4, 10, QLatin1Char('0'));
        QFile file(base + ".part");
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            return false;
        const QString name = base + '.' + kind;
        return file.rename(name) && waitFor([&] { return !QFile::exists(name); });
    }
    QStringList sent() const { return QDir(m_dir + "/sent").entryList({"*.txt"}, QDir::Files, QDir::Name); }
    // The bytes of the message sent after the first `before` ones; empty when none comes.
    QByteArray nextSent(int before) const
    {
        QFile file;
        if (waitFor([&] { return sent().size() > before; }))
            file.setFileName(m_dir + "/sent/" + sent().at(before));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QProcess m_process;
    QString m_dir;
    int m_received = 0;
};

} // namespace xt

// QTRY_VERIFY and its kin with the display's ceiling.
#define XT_TRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, xt::kAnswerMs)
#define XT_TRY_VERIFY2(expr, messageExpression) QTRY_VERIFY2_WITH_TIMEOUT(expr, messageExpression, xt::kAnswerMs)
#define XT_TRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT(expr, expected, xt::kAnswerMs)

#endif
