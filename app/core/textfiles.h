#ifndef TAVREL_TEXTFILES_H
#define TAVREL_TEXTFILES_H

#include <QString>
#include <QStringList>
#include <QVector>

// One ".txt" file of a folder as a list shows it: the name shown, and the file it came from, so an
// entry always opens the file it was listed from.
struct ListedText
{
    QString name;
    QString fileName;
};

// How the files of a listing are named.
enum class TextNames {
    FileName,      // as the file is named
    LessExtension, // less its ".txt", whatever its letter case
    WithoutTxt,    // with every ".txt" taken out
    Exact,         // only files ending in ".txt" as written, less that ending: the name maps back to its file
};

// The ".txt" files of a folder (the extension in any letter case; hidden files and folders left out),
// ordered by name ignoring case. A missing folder lists nothing.
QVector<ListedText> listTextFiles(const QString& folder, TextNames names);
QStringList listedNames(const QVector<ListedText>& texts);

#endif
