#ifndef TAVREL_INPUT_CANDIDATES_H
#define TAVREL_INPUT_CANDIDATES_H

#include "input/core/codetable.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The input method's settings as the engine uses them, read afresh by the panel before each step.
struct InputSettings
{
    int pageSize = 10;       // candidates per page, 0..10
    bool hints = false;      // show each candidate's code remainder
    bool hintsOnlyOpen = false; // with hints: only while the first match has a remainder
    int commitLength = 4;    // a unique candidate commits itself from this code length
    int carryLength = 4;     // a code without candidates longer than this carries its last letter
    int clearLength = 4;     // a code without candidates is dropped from this length
    bool zRepeat = true;     // the code "z" offers the last commit again
    bool markSelects = true; // ";" and "'" commit the second and third candidate
    bool markCommits = true; // a code mark commits the first candidate followed by the mark
    QString spaceAction;     // Space on a code without candidates: "上屏英文" or "清屏"
    QString returnAction;    // Return: "上屏英文" or "清屏"

    // A numeric setting as stored: base-10, anything else counts as 0.
    static int number(const QString& text);
};

// The typed code, its lookup, the shown page of candidates and the automatic rules: everything of
// the panel's Chinese input that is not a widget. The panel shows code() and labels() after each
// call; committed text leaves through the inserter, chosen candidates through the selection
// counter (the run's selection-key count).
class CandidateEngine
{
public:
    static constexpr int MaxPage = 10;

    using Inserter = std::function<void(const QString&)>;
    using Counter = std::function<void()>;

    void setTable(const CodeTable* table) { m_table = table; }
    void setSettings(const InputSettings& settings);
    void setInserter(Inserter inserter) { m_insert = std::move(inserter); }
    void setSelectionCounter(Counter counter) { m_countSelection = std::move(counter); }

    QString code() const { return m_code; }
    void setCode(const QString& code) { m_code = code; }
    // The ten candidate labels, "" where nothing is shown.
    const QStringList& labels() const { return m_labels; }
    bool candidateShown() const { return !m_labels.at(0).isEmpty(); }
    int matchCount() const { return int(m_matches.size()); }
    int nextIndex() const { return m_nextIndex; }

    // Looks the code up, shows its first page and applies the automatic rules.
    void select();
    // Shows the next page from nextIndex().
    void showPage();
    void clear();
    void previousPage();
    void nextPage();

    // Types a text and remembers it as the last commit; the remembered candidates are forgotten.
    void insert(const QString& text);
    // Commits entry `index` of the shown page; an index above 0 counts a selection key.
    void setChinese(int index);

    // A letter or code mark added to the code, with the commits that marks make (a mark commits
    // after the first candidate with the caption its key shows in Chinese mode).
    void typeCodeKey(const QString& text);
    // Space on a code with no candidate shown; with one, the first candidate.
    void spaceOnCode();
    // The soft Space key: also types a blank when there is neither code nor candidate.
    void softSpace();
    void returnKey();
    // Drops the code and its candidates.
    void escape();
    // Shortens a non-empty code by its last character and looks it up again.
    void backspaceCode();

private:
    void applyRules();
    QString labelText(int serial, int match) const;

    const CodeTable* m_table = nullptr;
    InputSettings m_settings;
    Inserter m_insert;
    Counter m_countSelection;

    QString m_code;
    std::vector<int> m_matches;
    int m_nextIndex = 0;
    QStringList m_pageWords;
    QStringList m_labels{QString(), QString(), QString(), QString(), QString(),
                         QString(), QString(), QString(), QString(), QString()};
    QString m_lastCommit;
    QString m_firstWord;
    QString m_secondWord;
    QString m_thirdWord;
};

#endif
