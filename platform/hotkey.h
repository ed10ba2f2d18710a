#ifndef TAVREL_PLATFORM_HOTKEY_H
#define TAVREL_PLATFORM_HOTKEY_H

#include <QObject>
#include <QVector>

namespace platform {

// Windows modifier flags, the terms in which callers name a hot key's modifiers.
enum HotKeyModifier : quint32 {
    HotKeyAlt = 0x1,
    HotKeyControl = 0x2,
    HotKeyShift = 0x4,
    HotKeyWin = 0x8,
};

// One system-wide hot key on the X display: a Windows virtual-key code plus modifier flags,
// grabbed on the root window so that it fires whichever window has the focus, and kept from that
// window.
//
// The grab is made for every combination of Caps Lock and Num Lock, since X matches a passive
// grab against the exact modifier state and a lock left on would otherwise disable the key.
//
// All hot keys of the process share one X connection of their own, watched by a socket notifier
// on the GUI thread's event loop. Qt's own connection is not reachable through public API (the
// native interface and QX11Info need private or extra modules), and an own connection keeps the
// root-window key events away from the key counting filter on Qt's connection. Grabs are
// counted per combination, so a new hot key for a combination that an older one still holds is
// accepted, and a press goes to the newest holder only: one press, one `pressed`. The connection is
// opened with the first grab and closed with the last release, which drops every grab with it.
//
// Auto-repeat never fires again: a press of a key that is already down is ignored until its
// release (repeats come as presses only, or as release and press pairs with one time stamp).
class HotKey : public QObject
{
    Q_OBJECT

public:
    explicit HotKey(QObject* parent = nullptr);
    ~HotKey() override;

    // Releases any earlier grab of this object, then grabs the combination. False when the
    // application does not run on an X display, the key has no X key on this keyboard (or the
    // code is outside the hot-key table, such as 0), or another client holds the combination.
    bool grab(quint32 virtualKey, quint32 modifiers);
    // Gives the combination back. False when nothing was grabbed or the server refused.
    bool release();

    quint32 virtualKey() const { return m_virtualKey; }
    quint32 modifiers() const { return m_modifiers; }

    // X key symbols a virtual-key code is grabbed as; empty for codes outside the table.
    static QVector<quint32> keysymsForVirtualKey(quint32 virtualKey);

signals:
    // The combination went down (not a repeat, not a release).
    void pressed(quint32 virtualKey, quint32 modifiers);

private:
    friend class HotKeyHub;

    quint32 m_virtualKey = 0;
    quint32 m_modifiers = 0;
    bool m_grabbed = false;
};

} // namespace platform

#endif
