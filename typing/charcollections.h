#ifndef TAVREL_TYPING_CHARCOLLECTIONS_H
#define TAVREL_TYPING_CHARCOLLECTIONS_H

#include <QString>

#include "typing/core/comparison.h"

// The wrong and slow character collections (App::WrongChars, App::SlowChars): read from their
// files as the window opens, added to as each change of a run is compared, and written back on
// leaving when they changed.
class CharCollections
{
public:
    // A collection is replaced by its file only when the file could be read.
    void load();
    // One compared change, with the text of the last commit, as the settings switch each on.
    void scan(const PageComparison& page, const QString& lastInputText, const QString& textTitle);
    // Written whenever different from what was loaded, so a collection emptied during the session
    // is emptied on disk too; an unchanged one is left alone.
    void save();

private:
    CharCollector m_collector;
    // The collections as loaded (or last written).
    QString m_loadedWrongChars;
    QString m_loadedSlowChars;
};

#endif
