#ifndef TAVREL_PROGRESSSTORE_H
#define TAVREL_PROGRESSSTORE_H

#include <QString>
#include <QStringList>

// The progress texts: in the folder "跟打进度" of a base folder (the program's folder unless given),
// the part of a text still to send in "<name>.txt" and the text's total length in "<name>.ini"
// (group "AppConfig", key "Zdzs"). Start-up, the sending window and the sending cycle all go
// through it. Only regular files that are no links are listed, opened or written: a link would have
// its target read and written over wherever it lies, a FIFO would block a read for ever. Each save
// writes a new file and renames it over the old one, so a crash mid-save leaves the old one whole.
class ProgressStore
{
public:
    explicit ProgressStore(const QString& baseFolder = QString());

    QString folder() const { return m_folder; }
    // The file name a text's name is saved under. Names come from chats and servers: "/", "\", NUL
    // and ".." become "_", so the file stays directly in the folder; an empty or dot-led name gets a
    // leading "_", so the file is neither nameless nor hidden. A mapped name maps to itself.
    static QString safeName(const QString& name);
    // The file of a name: the one under safeName, else one saved while ".." was kept in names,
    // else where safeName puts it.
    QString path(const QString& name, const QString& suffix) const;

    // The names of the saved texts, each one that opens its own file.
    QStringList names() const;
    QString readText(const QString& name, bool* ok) const;
    // Writes the remaining text, creating the folder; on success the name of the file written.
    bool saveText(const QString& name, const QString& text, QString* savedName, QString* error) const;
    // The recorded total of a name, 0 and up; -1 when it has none (or only a file that is no
    // plain one). App::readProgress records a new text's total.
    int recordedTotal(const QString& name) const;
    bool writeTotal(const QString& name, int total) const;

private:
    QString m_folder;
};

#endif
