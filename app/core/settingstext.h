#ifndef TAVREL_SETTINGSTEXT_H
#define TAVREL_SETTINGSTEXT_H

#include <QHash>
#include <QString>
#include <QVariant>

// The settings file's text as the trainer reads it: the toolkit's INI format (sections, quotes, its
// escapes and "@" forms), taken one line at a time. The toolkit's own reader lets a quote or a last
// backslash run on into the following lines and reads a comma as a list; a hand edit that does so
// would cost every key after it, or a text its second half.
namespace SettingsText {

struct Values
{
    // Values by their full key ("AppConfig/Fanye"); where a key has several lines, the last one.
    QHash<QString, QVariant> values;
    // Lines that are neither a key, a section nor a comment, and values cut off by their line's end
    // (a quote left open, a backslash last): the writer never leaves one. A cut-off value is absent.
    int malformedLines = 0;
};

// `text` is decoded already. A comma is part of the value; quotes keep blanks and ';' in it.
Values parse(const QString& text);

} // namespace SettingsText

#endif
