#ifndef TAVREL_INPUT_CODETABLE_H
#define TAVREL_INPUT_CODETABLE_H

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// A code table of the input-method panel: one entry per line, a code, a TAB, a word, and
// optionally more TAB-separated fields that are ignored. File order is candidate order; a code may
// stand on any number of lines and every one is offered, duplicates included.
//
// The file is read once into one buffer; entries are offsets into it, and an index of entry
// numbers sorted by code (then by file order) turns a lookup into two binary searches for the
// prefix range. Codes compare case-sensitively by UTF-16 unit.
class CodeTable
{
public:
    // Where a table lives: "mb/" + name + ".txt", relative to the working directory.
    static QString pathFor(const QString& name);
    // The tables in baseFolder's "mb", each by the name pathFor opens it under; a file that no such
    // name opens (".TXT") is left out.
    static QStringList names(const QString& baseFolder);

    // Reads the file through the common text reader: byte-order mark; else UTF-8 when most lines with
    // non-ASCII bytes are, each other line read as GB18030; else GB18030.
    // A missing or unreadable file leaves an empty table and returns false; the earlier table is
    // dropped either way.
    bool open(const QString& path);
    // The same from text already in memory; sourceName only labels the debug log.
    void load(const QString& text, const QString& sourceName = QString());
    void clear();

    int size() const { return int(m_entries.size()); }
    // Lines left out because they have no TAB.
    int skippedLines() const { return m_skipped; }

    // Entry numbers of every line whose code starts with `prefix`, in file order. An empty prefix
    // finds nothing.
    std::vector<int> lookup(QStringView prefix) const;
    QStringView code(int entry) const;
    QStringView word(int entry) const;

private:
    struct Entry
    {
        int codePos;
        int codeLen;
        int wordPos;
        int wordLen;
    };
    QStringView codeAt(int entry) const;

    QString m_text;
    std::vector<Entry> m_entries;
    std::vector<int> m_byCode;
    int m_skipped = 0;
};

#endif
