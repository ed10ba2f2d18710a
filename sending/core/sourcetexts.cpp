#include "sending/core/sourcetexts.h"

#include "app/core/app.h"
#include "typing/core/drills.h"

#include <QDir>

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
