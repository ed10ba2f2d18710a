#ifndef TAVREL_HOTKEYS_H
#define TAVREL_HOTKEYS_H

#include <QString>
#include <QStringList>

// The sixteen configurable hot keys of the trainer, and the rule that keeps them apart.
namespace HotKeys {

// Configuration keys of the hot keys, in the order they are stored and checked.
const QStringList& keyNames();

// True when two non-empty keys are equal, or any key's text holds "CTRL+O" or "CTRL+S", which the
// main window keeps for "打开" and "保存跟打进度". Texts are compared case-sensitively, as typed.
bool conflict(const QStringList& keys);

} // namespace HotKeys

#endif
