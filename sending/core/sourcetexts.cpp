#include "sending/core/sourcetexts.h"

#include "app/core/app.h"
#include "typing/core/drills.h"

#include <QDir>
#include <QSettings>

QVector<ListedText> listTexts(const QString& folder, bool exactNames)
{
    QVector<ListedText> texts;
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return texts;
    dir.setNameFilters({QStringLiteral("*.txt")});
    const QStringList files = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files) {
        // The filter ignores case; the name shown loses the extension only where it is written ".txt".
        QString name = file;
        if (exactNames && !file.endsWith(QStringLiteral(".txt")))
            continue;
        if (exactNames)
            name.chop(4);
        else
            name.remove(QStringLiteral(".txt"));
        texts.append({name, file});
    }
    return texts;
}

QStringList listedNames(const QVector<ListedText>& texts)
{
    QStringList names;
    for (const ListedText& text : texts)
        names << text.name;
    return names;
}

QString previewText(const QString& text, bool editable)
{
    if (editable || text.length() <= 5000)
        return text;
    return text.left(3000) + QStringLiteral("[......未完]");
}

QString prepareForSending(const QString& text, const PrepareOptions& options)
{
    QString prepared = text;
    if (options.removeSpaces)
        prepared = removeSpaces(prepared);
    if (options.convertPunct)
        App::convertPunct(prepared);
    return prepared;
}

ProgressStore::ProgressStore(const QString& baseFolder)
    : m_folder(QDir(baseFolder).filePath(QStringLiteral("跟打进度")))
{
}

QString ProgressStore::safeName(const QString& title)
{
    QString safe = title;
    for (QChar& c : safe) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isNull())
            c = QLatin1Char('_');
    }
    // A leading dot would hide the file from the listing.
    if (safe.isEmpty() || safe.startsWith(QLatin1Char('.')))
        safe.prepend(QLatin1Char('_'));
    return safe;
}

QString ProgressStore::path(const QString& name, const QString& suffix) const
{
    return m_folder + QLatin1Char('/') + safeName(name) + suffix;
}

QString ProgressStore::readText(const QString& name, bool* ok) const
{
    return App::readTextFile(path(name, QStringLiteral(".txt")), ok);
}

bool ProgressStore::saveText(const QString& title, const QString& text, QString* savedName, QString* error) const
{
    if (!QDir().mkpath(m_folder)) {
        *error = QStringLiteral("无法创建文件夹: ") + m_folder;
        return false;
    }
    const QString name = safeName(title);
    if (!App::writeFile(path(name, QStringLiteral(".txt")), text)) {
        *error = QStringLiteral("写入文件失败: ") + path(name, QStringLiteral(".txt"));
        return false;
    }
    *savedName = name;
    return true;
}

int ProgressStore::readTotal(const QString& name, int keptLength) const
{
    const QString file = path(name, QStringLiteral(".ini"));
    if (QFile::exists(file)) {
        QSettings progress(file, QSettings::IniFormat);
        return progress.value(QStringLiteral("AppConfig/Zdzs")).toInt();
    }
    if (keptLength != 0 && QDir().mkpath(m_folder)) {
        QSettings progress(file, QSettings::IniFormat);
        progress.setValue(QStringLiteral("AppConfig/Zdzs"), keptLength);
        progress.sync();
    }
    return keptLength;
}
