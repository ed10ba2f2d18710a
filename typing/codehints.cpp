#include "typing/codehints.h"

#include "app/core/app.h"
#include "app/core/textchars.h"

#include <QFileInfo>
#include <QTextDocument>

namespace {

// The settings name a file of the code folder; a name with folders in it cannot reach outside it.
QString codeFilePath()
{
    return CodeFile::pathFor(QFileInfo(App::BianMa).fileName());
}

// The character at `position` of a pane as its plain text has it (a surrogate pair whole), read
// from the document without copying the pane's text; empty past the end.
QString paneCharAt(const QTextDocument* document, int position)
{
    const int length = document->characterCount() - 1; // without the closing paragraph separator
    if (position < 0 || position >= length)
        return QString();
    auto plain = [](QChar c) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            return QChar(QLatin1Char('\n'));
        if (c == QChar::Nbsp)
            return QChar(QLatin1Char(' '));
        return c;
    };
    QString slice(plain(document->characterAt(position)));
    if (position + 1 < length && TextChars::isPair(slice.at(0), document->characterAt(position + 1)))
        slice += document->characterAt(position + 1);
    return slice;
}

} // namespace

void CodeHints::openHintReader()
{
    const QString path = codeFilePath();
    const QFileInfo info(path);
    m_hintReader.open(path);
    m_path = path;
    m_modified = info.lastModified();
    m_size = info.exists() ? info.size() : -1;
}

void CodeHints::openLengthReader()
{
    // Both readers are opened one after the other on the same file; reading it twice would only
    // cost time, so the length reader shares the hint reader's index unless the file was changed.
    const QString path = codeFilePath();
    const QFileInfo info(path);
    if (path == m_path && (info.exists() ? info.size() : -1) == m_size && info.lastModified() == m_modified) {
        m_lengthReader = m_hintReader;
        return;
    }
    m_lengthReader.open(path);
}

QString CodeHints::hintAt(const QTextDocument* reference, int position, bool withCode, bool freeMode) const
{
    return m_hintReader.hintLabelForStart(paneCharAt(reference, position), withCode, freeMode);
}

QString CodeHints::theoreticalText(const QString& passage, bool freeMode) const
{
    return m_lengthReader.theoreticalCodeLengthText(passage, freeMode);
}
