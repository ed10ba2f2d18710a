#ifndef TAVREL_TYPING_CODEFILE_H
#define TAVREL_TYPING_CODEFILE_H

#include <QSharedPointer>
#include <QString>

// A code file: one entry per line, the entry text (a character or a word), a TAB, its code, and
// optionally more TAB-separated fields that are ignored. File order matters: the code hint takes
// the LAST single-character line of a character, the theoretical code length replaces entries in
// file order on an ever-changing copy of the passage.
//
// The file is read once per open() into an immutable index, so a keystroke costs a hash lookup
// instead of a scan of the file, and the theoretical code length of a long passage costs a pass
// over the passage instead of one text search per line. The answers are the same as scanning the
// file line by line.
//
// Copies share the loaded index; a window that keeps two readers on the same file may open one
// and copy it into the other. open() always reads the file again, so a file edited since the last
// open is seen.
//
// Positions and lengths are UTF-16 units, as the panes' own text lengths count. The hint compares
// by code point: a character outside the Basic Multilingual Plane gets its hint from a line whose
// entry is that one character.
class CodeFile
{
public:
    CodeFile();
    ~CodeFile();
    CodeFile(const CodeFile& other);
    CodeFile& operator=(const CodeFile& other);

    // Where the settings' code file lives: "编码文件/" + name, relative to the working directory.
    static QString pathFor(const QString& fileName);

    // Reads the file through the common text reader (byte-order mark, else UTF-8, else GB18030).
    // A missing or unreadable file leaves an empty reader (no hint, no code length) and returns
    // false; the earlier index is dropped either way.
    bool open(const QString& path);
    // The same from text already in memory; sourceName only labels the debug log.
    void load(const QString& text, const QString& sourceName = QString());
    void clear();

    bool isOpen() const;
    QString path() const;
    // Lines read from the file, good or bad (a final line break does not start another line).
    int lineCount() const;
    // Lines skipped because they have no TAB or an empty entry text.
    int skippedLines() const;

    // The code of one character: the second field of its last single-character line, or a null
    // text when the file has no such line.
    QString codeOf(const QString& character) const;

    // Hint for the character at `position` of `passage`: the character, a blank and its code in
    // red bold; empty when position is at or past the end or the character has no code.
    QString hintAt(const QString& passage, int position) const;
    // The hint's markup for one character and its code.
    static QString hintFor(const QString& character, const QString& code);
    // The code-hint label after a change of the typing pane holding `typedLength` characters.
    // A null text means the label keeps its text (empty typing pane).
    QString hintLabelAfterChange(const QString& reference, int typedLength, bool hintOn, bool freeMode) const;
    // The code-hint label for the first character of a freshly laid passage.
    QString hintLabelForStart(const QString& reference, bool hintOn, bool freeMode) const;
    static QString hintLabel(const QString& hint);

    // Length of the passage after replacing, line by line in file order, every occurrence of each
    // entry text by its code. -1 when nothing can be said: an empty passage, no line was read, or
    // codes that hold entry texts made the text grow past 1,000,000 characters or 50 times the
    // passage (a debug line says so).
    int codedLength(const QString& passage) const;
    // The sixth result button's text: "理论码长:" and the coded length per passage character with
    // two decimals; a null text means the button keeps its text (free mode, empty passage, no
    // line read).
    QString theoreticalCodeLengthText(const QString& passage, bool freeMode = false) const;

    struct Data;

private:
    QSharedPointer<const Data> m_data;
};

#endif
