#ifndef TAVREL_SENDING_SOURCETEXTS_H
#define TAVREL_SENDING_SOURCETEXTS_H

#include <QString>
#include <QStringList>
#include <QVector>

#include "app/core/textfiles.h"

// How the sending window shows and prepares a text, without widgets.

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
