#ifndef TAVREL_INPUT_PUNCTUATION_H
#define TAVREL_INPUT_PUNCTUATION_H

#include <QString>
#include <QVector>

// One punctuation mark of the input panel: the ASCII character that the keyboard gives (and that a
// code holds), the soft key that bears it, and what Chinese mode shows and types for it.
struct PunctuationMark
{
    QString ascii;
    // The soft key's object name; empty for a mark that only the keyboard types.
    QString key;
    // The key's caption in Chinese mode; in the other modes it reads `ascii`.
    QString chineseCaption;
    // What Chinese mode types for the mark alone. The apostrophe types the closing quote here but
    // shows, and types after a candidate, the opening one of its caption.
    QString typed;
    // For a mark typed in pairs (the double quote): every second one types this.
    QString closing;
    // A code mark joins the typed code instead of being typed at once.
    bool inCode = false;
    // With the selection switch on, the page position (2 or 3) whose candidate a code mark commits.
    int selects = 0;

    QString caption(bool chinese) const { return chinese ? chineseCaption : ascii; }
    // The typed form, alternating with `closing` where there is one (`open` tracks the pair).
    QString typedForm(bool& open) const;
};

namespace Punctuation {

// Every mark: those of the soft keys, then those that only the keyboard types.
const QVector<PunctuationMark>& marks();
// The mark whose ASCII form is `text`; null for any other text.
const PunctuationMark* forText(const QString& text);
// The mark the soft key `keyName` bears; null for any other key.
const PunctuationMark* forKey(const QString& keyName);
// Whether `c` is one of the marks a code can hold.
bool isCodeMark(QChar c);

} // namespace Punctuation

#endif
