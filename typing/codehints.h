#ifndef TAVREL_TYPING_CODEHINTS_H
#define TAVREL_TYPING_CODEHINTS_H

#include <QDateTime>
#include <QString>

#include "typing/core/codefile.h"

class QTextDocument;

// The code hints of the window: the code of the character the next keystroke types, and the
// theoretical code length of the passage, both from the configured code file. Reader 1 serves the
// hint, reader 2 the code length.
class CodeHints
{
public:
    // (Re)reads the configured code file for the hint.
    void openHintReader();
    // The same for the code length; it shares the hint's index unless the file changed since.
    void openLengthReader();
    // The hint label for the character at `position` of the reference pane's document.
    QString hintAt(const QTextDocument* reference, int position, bool withCode, bool freeMode) const;
    // The theoretical code length button's text; null when there is nothing to show.
    QString theoreticalText(const QString& passage, bool freeMode) const;

private:
    CodeFile m_hintReader;
    CodeFile m_lengthReader;
    // What the hint reader was read from.
    QString m_path;
    QDateTime m_modified;
    qint64 m_size = -1;
};

#endif
