#include "app/core/app.h"

#include <QString>

namespace {

struct CharStep
{
    char16_t from;
    char16_t to;
};

// Full-width digits and symbols to ASCII first, then the ASCII sentence marks to their Chinese
// forms. The order matters: full-width parentheses and quotes pass through ASCII on their way.
constexpr CharStep kCharSteps[] = {
    {0xFF11, u'1'}, {0xFF12, u'2'}, {0xFF13, u'3'}, {0xFF14, u'4'}, {0xFF15, u'5'},
    {0xFF16, u'6'}, {0xFF17, u'7'}, {0xFF18, u'8'}, {0xFF19, u'9'}, {0xFF10, u'0'},
    {0xFF40, u'`'}, {0xFF0D, u'-'}, {0xFF1D, u'='}, {0xFF3B, u'['}, {0xFF3D, u']'},
    {0xFF0F, u'/'}, {0xFF5E, u'~'}, {0xFF20, u'@'}, {0xFF03, u'#'}, {0xFF04, u'$'},
    {0xFF05, u'%'}, {0xFF3E, u'^'}, {0xFF06, u'&'}, {0xFF0A, u'*'}, {0xFF08, u'('},
    {0xFF09, u')'}, {0xFF3F, u'_'}, {0xFF0B, u'+'}, {0xFF5B, u'{'}, {0xFF5D, u'}'},
    {0xFF5C, u'|'}, {0xFF1C, u'<'}, {0xFF1E, u'>'}, {0xFF07, u'\''}, {0xFF3C, u'\\'},
    {0xFF02, u'"'},
    {u';', 0xFF1B}, {u':', 0xFF1A}, {u'?', 0xFF1F}, {u'!', 0xFF01}, {u',', 0xFF0C},
    {u'.', 0x3002}, {u'\'', 0x2018}, {u'"', 0x201C}, {u'(', 0xFF08}, {u')', 0xFF09},
};

// After a Latin letter a comma, a full stop and an apostrophe go back to ASCII, so English words
// and abbreviations keep their punctuation.
constexpr CharStep kAfterLetter[] = {
    {0xFF0C, u','},
    {0x3002, u'.'},
    {0x2018, u'\''},
};

} // namespace

void App::convertPunct(QString& text)
{
    for (const CharStep& step : kCharSteps)
        text.replace(QChar(step.from), QChar(step.to));

    for (const CharStep& mark : kAfterLetter) {
        // No pass can bring a mark back, so a mark that is absent needs none of its 52 passes.
        if (!text.contains(QChar(mark.from)))
            continue;
        for (const char16_t first : {u'a', u'A'}) {
            for (char16_t letter = first; letter < first + 26; ++letter) {
                const QChar pair[2] = {QChar(letter), QChar(mark.from)};
                const QChar plain[2] = {QChar(letter), QChar(mark.to)};
                text.replace(pair, 2, plain, 2);
            }
        }
    }
}
