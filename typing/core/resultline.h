#ifndef TAVREL_RESULTLINE_H
#define TAVREL_RESULTLINE_H

#include <QString>
#include <QStringList>

#include "typing/core/results.h"

// The result line that a member posts into the chat, its shortened form for the result pop-up and
// its check field: the first five lower-case hex digits of the MD5 of the line's leading part
// (everything before the input-method name, the signature and the check field). No key is used;
// the field only tells a line the trainer produced from one typed by hand.

// Every line carries the program's name; the verifier refuses lines without it.
inline const QString ResultLineMarker = QStringLiteral("Tavrel跟打器");

// The configuration the line is built with.
struct LineSettings
{
    ColumnSwitches items;  // one switch per result item, in result-table column order
    bool shuRuFa2 = false; // show the input-method name
    QString shuRuFa;
    bool qianMing2 = false; // show the signature
    QString qianMing;
    int pattern = 0;  // 0 follow, 1 free, 2 blind
    QString appTitle; // program title with version (ends with a blank)
};

// What the end of a run hands over.
struct RunResult
{
    QString segmentHeader; // "第1段", or the segment being sent
    QStringList cells;     // the 15 result cells; cell 0 holds the penalty speed after errors
    double peakSpeed = 0.0;
    double peakKeyRate = 0.0;
    double peakCodeLength = 0.0;
    int wrongCount = 0;
    QString wrongRefChars;   // reference characters at the wrong positions, in order
    QString wrongTypedChars; // what was typed there
};

struct ResultLine
{
    QString resultText;      // the line as posted
    QString resultTextPlain; // the hashed part
    QString shortResult;     // the pop-up's form
    QString check;           // the five check digits
};

// The two ways a run ends: follow and blind runs carry the error part, free runs are trimmed.
enum class RunEnd { FollowOrBlind, Free };

// The whole line of a finished run: the one composition the end of a run posts.
ResultLine buildResultLine(const RunResult& run, const LineSettings& settings, RunEnd end);

// First five lower-case hex digits of the MD5 of the text's UTF-8 bytes.
QString checkField(const QString& text);

// The outcome of checking a line taken from the clipboard, and the text the window shows.
struct LineCheck
{
    enum Outcome { NotOurs, Genuine, Forged };
    Outcome outcome = NotOurs;
    QString message;
};

// Checks a line. The hashed part first ends where the verifier's own input-method and signature
// switches say; when that fails it also ends before " 输入法:", " 个签:" or " 校检:" as found in
// the line, so a genuine line verifies whatever switches the poster and the verifier use.
LineCheck verifyResultLine(const QString& clipboardText, bool verifierShuRuFa2, bool verifierQianMing2);

#endif
