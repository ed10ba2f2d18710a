#include "platform/keysource.h"

#include "platform/display.h"
#include "platform/keyword.h"

#include <QCoreApplication>

#include <xcb/xproto.h>

// Last: the X headers define names (None, Bool, Status) that Qt's headers use.
#include <X11/Xlib.h>

namespace platform {

namespace {

// The top bit of an X event type marks an event sent by another client; such keys still count,
// as posted key messages reach a keyboard hook too.
constexpr quint8 SentEventFlag = 0x80;

} // namespace

KeySource::KeySource(Callback callback) : m_callback(std::move(callback))
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    QObject::connect(&m_flushTimer, &QTimer::timeout, [this] { settlePendingRelease(); });
}

KeySource::~KeySource()
{
    remove();
    if (m_keymapDisplay)
        XCloseDisplay(static_cast<Display*>(m_keymapDisplay));
}

bool KeySource::install()
{
    if (m_installed)
        return true;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !x11Available())
        return false;
    m_down.reset();
    m_hasPendingRelease = false;
    m_hasLastRelease = false;
    app->installNativeEventFilter(this);
    m_installed = true;
    return true;
}

void KeySource::remove()
{
    if (!m_installed)
        return;
    flushPendingRelease();
    m_flushTimer.stop();
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    m_installed = false;
}

bool KeySource::nativeEventFilter(const QByteArray& eventType, void* message, long* result)
{
    Q_UNUSED(result)
    if (!message || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~SentEventFlag) {
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
        // Press and release events share one layout.
        const auto* key = static_cast<const xcb_key_press_event_t*>(message);
        if (key->event == key->root)
            break;
        if ((event->response_type & ~SentEventFlag) == XCB_KEY_PRESS)
            keyPress(key->detail, key->state, key->time);
        else
            keyRelease(key->detail, key->state, key->time);
        break;
    }
    case XCB_FOCUS_OUT: {
        // Keys released while another window (or a grab) holds the focus never reach us; forget
        // what we thought was down so the next press of such a key counts as a new one.
        const auto* focus = static_cast<const xcb_focus_out_event_t*>(message);
        if (focus->detail != XCB_NOTIFY_DETAIL_INFERIOR) {
            flushPendingRelease();
            m_down.reset();
            m_hasLastRelease = false;
        }
        break;
    }
    default:
        break;
    }
    // Only counting: every event goes on to Qt.
    return false;
}

bool KeySource::altHeld(quint16 state) const
{
    // The state mask covers an Alt pressed before our window had the focus; the keys we saw go
    // down cover a right Alt that the keymap treats as AltGr rather than as Mod1.
    return (state & XCB_MOD_MASK_1) || m_down.test(LeftAltKeycode) || m_down.test(RightAltKeycode);
}

void KeySource::keyPress(quint8 keycode, quint16 state, quint32 time)
{
    bool repeat = false;
    if (m_hasPendingRelease) {
        if (m_pendingKeycode == keycode && m_pendingTime == time) {
            // The release was the first half of an auto-repeat pair: the key never went up.
            m_hasPendingRelease = false;
            m_flushTimer.stop();
            repeat = true;
        } else {
            flushPendingRelease();
        }
    }
    if (!repeat && m_hasLastRelease && m_lastReleaseKeycode == keycode && m_lastReleaseTime == time)
        repeat = true; // a pair split across two turns of the event loop
    if (m_down.test(keycode))
        repeat = true; // detectable auto-repeat: presses only
    m_hasLastRelease = false;
    m_down.set(keycode);
    deliver(keyWordForKey(keycode, true, repeat, altHeld(state)));
}

void KeySource::keyRelease(quint8 keycode, quint16 state, quint32 time)
{
    flushPendingRelease();
    m_hasPendingRelease = true;
    m_pendingKeycode = keycode;
    m_pendingTime = time;
    m_pendingWord = keyWordForKey(keycode, false, false, altHeld(state));
    m_flushTimer.start(0);
}

void KeySource::settlePendingRelease()
{
    if (!m_hasPendingRelease)
        return;
    if (keyStillDown(m_pendingKeycode)) {
        // The release was half of an auto-repeat pair whose press is still on its way.
        m_flushTimer.start(5);
        return;
    }
    flushPendingRelease();
}

bool KeySource::keyStillDown(quint8 keycode)
{
    if (!m_keymapDisplay && !m_keymapTried) {
        m_keymapTried = true;
        m_keymapDisplay = XOpenDisplay(nullptr);
    }
    auto* display = static_cast<Display*>(m_keymapDisplay);
    if (!display)
        return false;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return keys[keycode / 8] & (1 << (keycode % 8));
}

void KeySource::flushPendingRelease()
{
    if (!m_hasPendingRelease)
        return;
    m_hasPendingRelease = false;
    m_flushTimer.stop();
    m_down.reset(m_pendingKeycode);
    m_hasLastRelease = true;
    m_lastReleaseKeycode = m_pendingKeycode;
    m_lastReleaseTime = m_pendingTime;
    deliver(m_pendingWord);
}

void KeySource::deliver(quint16 word)
{
    // Keys without a scan code (multimedia and vendor keys) raise no counter on any keyboard.
    if (word != 0 && m_callback)
        m_callback(word);
}

} // namespace platform
