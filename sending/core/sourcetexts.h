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

// The progress texts of one base folder: the remaining text in "跟打进度/<name>.txt" and its total in
// "跟打进度/<name>.ini" (group "AppConfig", key "Zdzs") sit side by side, listed, read and written
// from the same folder.
class ProgressStore
{
public:
    explicit ProgressStore(const QString& baseFolder);

    QString folder() const { return m_folder; }
    QVector<ListedText> list() const { return listTexts(m_folder, true); }
    // The file name a title is saved under: a path separator or a NUL in a title (from a chat or a
    // server) cannot lead out of the folder, and a leading dot cannot hide it from the listing.
    static QString safeName(const QString& title);

    QString readText(const QString& name, bool* ok) const;
    // Writes the remaining text, creating the folder; the saved name (see safeName) on success.
    bool saveText(const QString& title, const QString& text, QString* savedName, QString* error) const;
    // The recorded total of a name; a name without a record gets keptLength recorded as its total
    // unless that is 0.
    int readTotal(const QString& name, int keptLength) const;

private:
    QString path(const QString& name, const QString& suffix) const;
    QString m_folder;
};

#endif
