#include "app/core/textchars.h"

namespace TextChars {

QString withoutLoneHalves(QString text)
{
    for (int i = 0; i < text.size();) {
        const int w = width(text, i);
        if (w == 1 && text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
        i += w;
    }
    return text;
}

} // namespace TextChars
