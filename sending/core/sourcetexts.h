#ifndef TAVREL_SENDING_SOURCETEXTS_H
#define TAVREL_SENDING_SOURCETEXTS_H

#include <QString>
#include <QStringList>
#include <QVector>

// The local texts the sending window offers, and how it shows and prepares a text, without widgets.

// One ".txt" file of a folder as the window lists it: the name shown, and the file it came from.
struct ListedText
{
    QString name;     // the file name with every ".txt" taken out
    QString fileName; // the file itself, so the entry always opens the file it was listed from
};

// The ".txt" files of a folder (the extension in any letter case, hidden files left out), ordered
// by name ignoring case. A missing folder lists nothing. With exactNames only files ending in ".txt"
// as written count, each named by its file name less that one ending, so a name maps back to its
// file (the progress texts, whose names are written back as file names).
QVector<ListedText> listTexts(const QString& folder, bool exactNames = false);
QStringList listedNames(const QVector<ListedText>& texts);

// The preview of a kept text: a text of more than 5000 characters from a read-only source shows its
// first 3000 characters and "[......未完]"; editable sources always show the whole text.
QString previewText(const QString& text, bool editable);

// The loading options applied to the copy that is sent: every white space out (Quchu), then the
// punctuation converted (Tihuan).
struct PrepareOptions
{
    bool removeSpaces = false;
    bool convertPunct = false;
};
QString prepareForSending(const QString& text, const PrepareOptions& options);

#endif
