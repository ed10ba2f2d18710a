#include "app/globalshortcut.h"

#include "platform/hotkey.h"

namespace {

// The four modifier bits of a key-sequence entry (Shift, Control, Alt, Meta).
constexpr int ModifierBits = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

} // namespace

MyGlobalShortCut::MyGlobalShortCut(QString key, QObject* requester)
    : QObject(nullptr), m_key(QKeySequence::fromString(key, QKeySequence::NativeText)),
      m_hotKey(new platform::HotKey(this))
{
    Q_UNUSED(requester)
    connect(m_hotKey, &platform::HotKey::pressed, this, [this](quint32 virtualKey, quint32 modifiers) {
        if (shortcuts.value(qMakePair(virtualKey, modifiers)))
            activateShortcut();
    });
    registerHotKey();
}

MyGlobalShortCut::~MyGlobalShortCut()
{
    unregisterHotKey();
}

bool MyGlobalShortCut::registerHotKey()
{
    splitFirstKey(m_key, key, mods);
    const quint32 virtualKey = nativeKeycode(key);
    const quint32 modifiers = nativeModifiers(mods);
    // Recorded whatever the outcome, as the pair names what this object answers to.
    shortcuts.insert(qMakePair(virtualKey, modifiers), this);
    return m_hotKey->grab(virtualKey, modifiers);
}

bool MyGlobalShortCut::unregisterHotKey()
{
    return m_hotKey->release();
}

void MyGlobalShortCut::activateShortcut()
{
    emit activated();
}

void MyGlobalShortCut::splitFirstKey(const QKeySequence& sequence, Qt::Key& key, Qt::KeyboardModifiers& modifiers)
{
    if (sequence.isEmpty()) {
        key = Qt::Key(0);
        modifiers = Qt::NoModifier;
        return;
    }
    const int first = sequence[0];
    modifiers = Qt::KeyboardModifiers(first & ModifierBits);
    key = Qt::Key(first & ~ModifierBits);
}

MyGlobalShortCut::NativeKey MyGlobalShortCut::nativeHotKey(const QString& keyText)
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    splitFirstKey(QKeySequence::fromString(keyText, QKeySequence::NativeText), key, modifiers);
    NativeKey native;
    native.virtualKey = nativeKeycode(key);
    native.modifiers = nativeModifiers(modifiers);
    return native;
}

quint32 MyGlobalShortCut::nativeModifiers(Qt::KeyboardModifiers modifiers)
{
    quint32 native = 0;
    if (modifiers & Qt::ShiftModifier)
        native |= platform::HotKeyShift;
    if (modifiers & Qt::ControlModifier)
        native |= platform::HotKeyControl;
    if (modifiers & Qt::AltModifier)
        native |= platform::HotKeyAlt;
    if (modifiers & Qt::MetaModifier)
        native |= platform::HotKeyWin;
    return native;
}

quint32 MyGlobalShortCut::nativeKeycode(Qt::Key key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + quint32(key - Qt::Key_F1);
    // Digits and letters have the same code in both worlds.
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return quint32(key);
    switch (key) {
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0x09;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    case Qt::Key_Pause:
        return 0x13;
    case Qt::Key_Print:
        return 0x2A;
    case Qt::Key_Clear:
        return 0x0C;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_Space:
        return 0x20;
    // Punctuation that has a virtual key means the keypad one.
    case Qt::Key_Asterisk:
        return 0x6A;
    case Qt::Key_Plus:
        return 0x6B;
    case Qt::Key_Comma:
        return 0x6C;
    case Qt::Key_Minus:
        return 0x6D;
    case Qt::Key_Slash:
        return 0x6F;
    default:
        return 0;
    }
}
