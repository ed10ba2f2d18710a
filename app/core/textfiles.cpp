#include "app/core/textfiles.h"

#include <QDir>

QVector<ListedText> listTextFiles(const QString& folder, TextNames names)
{
    QVector<ListedText> texts;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return texts;
    const QString extension = QStringLiteral(".txt");
    for (const QString& file : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        QString name = file;
        switch (names) {
        case TextNames::FileName:
            break;
        case TextNames::LessExtension:
            name.chop(extension.size());
            break;
        case TextNames::WithoutTxt:
            name.remove(extension);
            break;
        case TextNames::Exact:
            if (!file.endsWith(extension))
                continue;
            name.chop(extension.size());
            break;
        }
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
