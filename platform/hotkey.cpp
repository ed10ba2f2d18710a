#include "platform/hotkey.h"

#include "platform/display.h"
#include "platform/x11errortrap.h"

#include <QDebug>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <array>
#include <functional>

// Xlib last: its macros clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace platform {

namespace {

// The modifier bit (ShiftMask ... Mod5Mask) that a key symbol is mapped to; 0 when none is.
unsigned modifierMaskOf(Display* display, const XModifierKeymap* map, KeySym symbol)
{
    const KeyCode keycode = XKeysymToKeycode(display, symbol);
    if (!keycode)
        return 0;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            if (map->modifiermap[modifier * map->max_keypermod + i] == keycode)
                return 1u << modifier;
        }
    }
    return 0;
}

constexpr unsigned KeyModifierBits =
    ShiftMask | LockMask | ControlMask | Mod1Mask | Mod2Mask | Mod3Mask | Mod4Mask | Mod5Mask;

quint32 comboOf(unsigned keycode, unsigned mask)
{
    return (quint32(keycode) << 16) | (mask & 0xFFFF);
}

// Calls back when the connection has data. Takes the event itself, as the notifier's signal is
// overloaded with private arguments that a functor connection cannot name.
class ReadNotifier : public QSocketNotifier
{
public:
    ReadNotifier(int socket, std::function<void()> callback, QObject* parent)
        : QSocketNotifier(socket, QSocketNotifier::Read, parent), m_callback(std::move(callback))
    {
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::SockAct) {
            m_callback();
            return true;
        }
        return QSocketNotifier::event(event);
    }

private:
    std::function<void()> m_callback;
};

} // namespace

// The process's one X connection for hot keys: grabs counted per combination, presses handed to
// the newest hot key that asked for the combination.
class HotKeyHub : public QObject
{
public:
    static HotKeyHub* instance() { return s_instance; }

    // The hub, opened on first use; null when the X display cannot be opened.
    static HotKeyHub* acquire()
    {
        if (!s_instance) {
            auto* hub = new HotKeyHub;
            if (!hub->open()) {
                delete hub;
                return nullptr;
            }
            s_instance = hub;
        }
        return s_instance;
    }

    bool add(HotKey* owner, const QVector<quint32>& keysyms, quint32 modifiers);
    bool remove(HotKey* owner);
    // Closes the connection once no hot key holds a grab.
    void closeIfIdle();

private:
    struct Registration
    {
        HotKey* owner = nullptr;
        QPointer<HotKey> guard;
        QVector<quint32> combos; // key code and modifier mask, without the lock bits
    };

    bool open();
    void close();
    void readModifierMasks();
    unsigned maskOf(quint32 modifiers) const;
    QVector<unsigned> lockVariants() const;
    void readEvents();
    void scheduleRead();
    bool isRepeat(unsigned keycode, quint32 time);

    static HotKeyHub* s_instance;

    Display* m_display = nullptr;
    Window m_root = 0;
    ReadNotifier* m_notifier = nullptr;
    unsigned m_altMask = Mod1Mask;
    unsigned m_superMask = Mod4Mask;
    unsigned m_numLockMask = Mod2Mask;
    // Combinations grabbed on the root window (lock variants included), with their holder count.
    QHash<quint32, int> m_grabs;
    QVector<Registration> m_registrations; // oldest first
    // What this connection saw of each key, to tell a repeat from a new press.
    struct KeyState
    {
        bool down = false;
        bool released = false; // `last` is the time of a release
        quint32 last = 0;      // server time of the key's latest event
    };
    std::array<KeyState, 256> m_keys;
    quint32 m_repeatWindow = 1000; // ms; longer than the keyboard's auto-repeat delay
    bool m_detectableRepeat = false;
};

HotKeyHub* HotKeyHub::s_instance = nullptr;

bool HotKeyHub::open()
{
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        qWarning() << "hot key: cannot open the X display" << qgetenv("DISPLAY");
        return false;
    }
    m_root = DefaultRootWindow(m_display);
    // Repeats then come as presses alone; the release/press pairs of servers without it are
    // recognised in readEvents.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(m_display, True, &supported);
    m_detectableRepeat = supported;
    unsigned int delay = 0, interval = 0;
    if (XkbGetAutoRepeatRate(m_display, XkbUseCoreKbd, &delay, &interval) && delay > 0)
        m_repeatWindow = quint32(delay) + 250;
    readModifierMasks();
    m_notifier = new ReadNotifier(
        ConnectionNumber(m_display), [this] { readEvents(); }, this);
    return true;
}

void HotKeyHub::close()
{
    if (s_instance == this)
        s_instance = nullptr;
    // The notifier may be the sender of the signal that led here: it goes with the hub, later.
    if (m_notifier)
        m_notifier->setEnabled(false);
    if (m_display) {
        // Closing the connection drops whatever it still grabs.
        XCloseDisplay(m_display);
        m_display = nullptr;
    }
    // Later, as this may run inside a slot reached from readEvents; queued reads find no display.
    deleteLater();
}

void HotKeyHub::closeIfIdle()
{
    if (m_registrations.isEmpty())
        close();
}

void HotKeyHub::readModifierMasks()
{
    XModifierKeymap* map = XGetModifierMapping(m_display);
    if (!map)
        return;
    const unsigned alt = modifierMaskOf(m_display, map, XK_Alt_L);
    m_altMask = alt ? alt : Mod1Mask;
    unsigned super = modifierMaskOf(m_display, map, XK_Super_L);
    if (!super)
        super = modifierMaskOf(m_display, map, XK_Super_R);
    m_superMask = super ? super : Mod4Mask;
    m_numLockMask = modifierMaskOf(m_display, map, XK_Num_Lock);
    XFreeModifiermap(map);
}

unsigned HotKeyHub::maskOf(quint32 modifiers) const
{
    unsigned mask = 0;
    if (modifiers & HotKeyAlt)
        mask |= m_altMask;
    if (modifiers & HotKeyControl)
        mask |= ControlMask;
    if (modifiers & HotKeyShift)
        mask |= ShiftMask;
    if (modifiers & HotKeyWin)
        mask |= m_superMask;
    return mask;
}

QVector<unsigned> HotKeyHub::lockVariants() const
{
    QVector<unsigned> variants{0, LockMask};
    if (m_numLockMask && m_numLockMask != LockMask)
        variants << m_numLockMask << (m_numLockMask | LockMask);
    return variants;
}

bool HotKeyHub::add(HotKey* owner, const QVector<quint32>& keysyms, quint32 modifiers)
{
    Registration registration;
    registration.owner = owner;
    registration.guard = owner;
    const unsigned mask = maskOf(modifiers);
    for (quint32 keysym : keysyms) {
        const KeyCode keycode = XKeysymToKeycode(m_display, keysym);
        if (keycode && !registration.combos.contains(comboOf(keycode, mask)))
            registration.combos << comboOf(keycode, mask);
    }
    if (registration.combos.isEmpty())
        return false;

    QVector<quint32> fresh;
    bool taken = true;
    {
        X11ErrorTrap trap(m_display);
        for (quint32 combo : registration.combos) {
            for (unsigned lock : lockVariants()) {
                const quint32 full = combo | lock;
                if (m_grabs.value(full) > 0)
                    continue;
                XGrabKey(m_display, int(combo >> 16), (combo & 0xFFFF) | lock, m_root, False, GrabModeAsync,
                         GrabModeAsync);
                fresh << full;
            }
        }
        if (trap.failed()) {
            // Someone else holds (part of) it: give back what this attempt took, leave the rest.
            for (quint32 full : fresh)
                XUngrabKey(m_display, int(full >> 16), full & 0xFFFF, m_root);
            taken = false;
        }
    }
    if (!taken) {
        scheduleRead();
        return false;
    }
    for (quint32 combo : registration.combos) {
        for (unsigned lock : lockVariants())
            ++m_grabs[combo | lock];
    }
    m_registrations << registration;
    scheduleRead();
    return true;
}

bool HotKeyHub::remove(HotKey* owner)
{
    int index = -1;
    for (int i = 0; i < m_registrations.size(); ++i) {
        if (m_registrations.at(i).owner == owner)
            index = i;
    }
    if (index < 0)
        return false;
    const Registration registration = m_registrations.takeAt(index);
    bool ok = true;
    if (m_display) {
        X11ErrorTrap trap(m_display);
        for (quint32 combo : registration.combos) {
            for (unsigned lock : lockVariants()) {
                const quint32 full = combo | lock;
                if (--m_grabs[full] > 0)
                    continue;
                m_grabs.remove(full);
                XUngrabKey(m_display, int(full >> 16), full & 0xFFFF, m_root);
            }
        }
        ok = !trap.failed();
        scheduleRead();
    }
    return ok;
}

// Xlib may have read events into its own queue while waiting for a reply; the socket then stays
// quiet, so they are picked up on the next turn of the event loop.
void HotKeyHub::scheduleRead()
{
    if (m_display && XEventsQueued(m_display, QueuedAlready) > 0)
        QTimer::singleShot(0, this, [this] { readEvents(); });
}

// A press of a key that is already down is a repeat. Repeats come as presses alone (detectable
// auto-repeat), or, where the server cannot do that, as a release and a press with the same time
// stamp (a rule only used there, as fast synthetic keys can share a time stamp). Our connection only sees keys
// while one of its grabs is active, so a release can be missed (the grab ended while another key
// was held); a key then counts as down only while its events keep coming within the repeat delay,
// as a held key's repeats would.
bool HotKeyHub::isRepeat(unsigned keycode, quint32 time)
{
    KeyState& key = m_keys[keycode];
    const bool repeat =
        key.down ? time - key.last <= m_repeatWindow : !m_detectableRepeat && key.released && key.last == time;
    key.down = true;
    key.released = false;
    key.last = time;
    return repeat;
}

void HotKeyHub::readEvents()
{
    if (!m_display)
        return;
    QVector<QPointer<HotKey>> fired;
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == KeyPress) {
            const unsigned keycode = event.xkey.keycode & 0xFF;
            if (isRepeat(keycode, quint32(event.xkey.time)) || event.xkey.window != m_root)
                continue;
            const unsigned state = event.xkey.state & KeyModifierBits & ~(LockMask | m_numLockMask);
            const quint32 combo = comboOf(keycode, state);
            for (int i = m_registrations.size() - 1; i >= 0; --i) {
                if (m_registrations.at(i).combos.contains(combo)) {
                    fired << m_registrations.at(i).guard;
                    break;
                }
            }
        } else if (event.type == KeyRelease) {
            KeyState& key = m_keys[event.xkey.keycode & 0xFF];
            key.down = false;
            key.released = true;
            key.last = quint32(event.xkey.time);
        } else if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            if (event.xmapping.request == MappingModifier)
                readModifierMasks();
        }
    }
    // Emitted last: a slot may release hot keys, close this connection or run an event loop.
    for (const QPointer<HotKey>& hotKey : fired) {
        if (hotKey)
            emit hotKey->pressed(hotKey->virtualKey(), hotKey->modifiers());
    }
}

HotKey::HotKey(QObject* parent) : QObject(parent) {}

HotKey::~HotKey()
{
    release();
}

bool HotKey::grab(quint32 virtualKey, quint32 modifiers)
{
    release();
    m_virtualKey = virtualKey;
    m_modifiers = modifiers;
    const QVector<quint32> keysyms = keysymsForVirtualKey(virtualKey);
    if (keysyms.isEmpty() || !x11Available())
        return false;
    HotKeyHub* hub = HotKeyHub::acquire();
    if (!hub)
        return false;
    m_grabbed = hub->add(this, keysyms, modifiers);
    if (!m_grabbed)
        hub->closeIfIdle();
    return m_grabbed;
}

bool HotKey::release()
{
    if (!m_grabbed)
        return false;
    m_grabbed = false;
    HotKeyHub* hub = HotKeyHub::instance();
    if (!hub)
        return false;
    const bool ok = hub->remove(this);
    hub->closeIfIdle();
    return ok;
}

QVector<quint32> HotKey::keysymsForVirtualKey(quint32 virtualKey)
{
    if (virtualKey >= 0x30 && virtualKey <= 0x39)
        return {quint32(XK_0 + (virtualKey - 0x30))};
    if (virtualKey >= 0x41 && virtualKey <= 0x5A)
        return {quint32(XK_a + (virtualKey - 0x41))};
    if (virtualKey >= 0x70 && virtualKey <= 0x87)
        return {quint32(XK_F1 + (virtualKey - 0x70))};
    switch (virtualKey) {
    case 0x08:
        return {XK_BackSpace};
    case 0x09:
        return {XK_Tab};
    case 0x0C:
        return {XK_Clear};
    case 0x0D: // one code for both Enter keys
        return {XK_Return, XK_KP_Enter};
    case 0x13:
        return {XK_Pause};
    case 0x1B:
        return {XK_Escape};
    case 0x20:
        return {XK_space};
    case 0x21:
        return {XK_Prior};
    case 0x22:
        return {XK_Next};
    case 0x23:
        return {XK_End};
    case 0x24:
        return {XK_Home};
    case 0x25:
        return {XK_Left};
    case 0x26:
        return {XK_Up};
    case 0x27:
        return {XK_Right};
    case 0x28:
        return {XK_Down};
    case 0x2A:
        return {XK_Print};
    case 0x2D:
        return {XK_Insert};
    case 0x2E:
        return {XK_Delete};
    case 0x6A:
        return {XK_KP_Multiply};
    case 0x6B:
        return {XK_KP_Add};
    case 0x6C:
        return {XK_KP_Separator};
    case 0x6D:
        return {XK_KP_Subtract};
    case 0x6F:
        return {XK_KP_Divide};
    default:
        return {};
    }
}

} // namespace platform
