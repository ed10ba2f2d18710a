#ifndef TAVREL_TYPING_CORESETTINGS_H
#define TAVREL_TYPING_CORESETTINGS_H

#include <QString>

#include "typing/core/comparison.h"
#include "typing/core/record.h"
#include "typing/core/resultline.h"
#include "typing/core/results.h"

// The one place where the typing logic's value structs are filled from the configuration and the
// shared run-time globals; the logic itself reads no global, so it can be tested with plain values.
namespace CoreSettings {

PageLayout pageLayout();
// The loading clean-up with the configured blank and punctuation switches.
QString cleanPassage(const QString& text);
KeyCounters keyCounters();
ColumnSwitches columnSwitches();
LineSettings lineSettings();
// The record's values are the shared globals themselves; every change is saved to the native store.
RecordStore recordStore();
// The key counting of the running program: one key word from the key source, with the configured
// space-bar hand and the selection-key switch, added to the shared key counters.
void countKeyWord(quint16 word);

} // namespace CoreSettings

#endif
