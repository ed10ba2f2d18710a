#include "sending/core/sourcetexts.h"

#include "app/core/app.h"
#include "typing/core/drills.h"

#include <QDir>

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
