#ifndef TAVREL_APP_GLOBALSHORTCUT_H
#define TAVREL_APP_GLOBALSHORTCUT_H

#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QPair>

namespace platform {
class HotKey;
}

// The system-wide boss key: a key-sequence text of the configuration ("ALT+Q") that fires
// `activated` while any program has the focus.
//
// The key is named the Windows way, as a virtual-key code and a modifier set (MOD_ALT 1,
// MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8), so the keys that can be a boss key are the same
// everywhere: a key outside the table (the full stop, say) gives code 0 and never fires. The X11
// grab behind it lives in platform::HotKey, which reads its own connection to the display through a
// socket notifier, so no native event filter is installed here.
//
// The object has no parent; whoever makes it deletes it, and deleting it gives the key back at
// once, so the settings can replace the boss key with a new object.
class MyGlobalShortCut : public QObject
{
    Q_OBJECT

public:
    // The Windows form of a key-sequence text's first key.
    struct NativeKey
    {
        quint32 virtualKey = 0;
        quint32 modifiers = 0;
        quint32 id() const { return modifiers ^ virtualKey; }
    };

    // `key` is a key-sequence text in Qt's native form ("ALT+Q", "CTRL+F4"); only its first key
    // counts. `requester` is the window that asks; it is neither kept nor the parent. The key is
    // registered at once.
    MyGlobalShortCut(QString key, QObject* requester);
    ~MyGlobalShortCut() override;

    // Grabs the key (after giving back an earlier grab of this object); false when the system
    // refused it: no X display, a key without virtual-key code, or another program holds it.
    bool registerHotKey();
    // Gives the key back; false when it was not registered.
    bool unregisterHotKey();
    void activateShortcut();

    // Windows virtual-key code of a Qt key; 0 for keys outside the table, including any value that
    // still carries the keypad bit.
    static quint32 nativeKeycode(Qt::Key key);
    // Windows modifier set of Qt modifiers; keypad and group-switch bits are ignored.
    static quint32 nativeModifiers(Qt::KeyboardModifiers modifiers);
    // Splits the first key of a sequence into key and modifiers; both 0 for an empty sequence.
    static void splitFirstKey(const QKeySequence& sequence, Qt::Key& key, Qt::KeyboardModifiers& modifiers);
    // The Windows form of a key-sequence text in native form.
    static NativeKey nativeHotKey(const QString& keyText);

signals:
    void activated();

private:
    // The combinations this object registered, each mapped to it; a press of another pair is not
    // ours.
    QHash<QPair<quint32, quint32>, MyGlobalShortCut*> shortcuts;
    QKeySequence m_key;
    Qt::Key key = Qt::Key(0);
    Qt::KeyboardModifiers mods;
    platform::HotKey* m_hotKey = nullptr;
};

#endif
