#ifndef TAVREL_TYPING_SOURCENAMES_H
#define TAVREL_TYPING_SOURCENAMES_H

#include <QString>
#include <QStringList>

// The fixed sources of a passage besides the texts: their names head the sending window's list and
// become the titles of the passages they lay; the ranking takes no run of them. The two collections
// keep their characters in files of their own name in the working directory.
extern const QString ClipboardTitle;      // "剪切板"
extern const QString WrongPracticeTitle;  // "错字收集"
extern const QString SlowPracticeTitle;   // "慢字收集"
extern const QString WrongCollectionFile; // "错字收集.txt"
extern const QString SlowCollectionFile;  // "慢字收集.txt"

// The three in the list's order.
QStringList fixedSourceTitles();

#endif
