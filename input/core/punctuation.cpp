#include "input/core/punctuation.h"

QString PunctuationMark::typedForm(bool& open) const
{
    if (closing.isEmpty())
        return typed;
    open = !open;
    return open ? typed : closing;
}

namespace Punctuation {

const QVector<PunctuationMark>& marks()
{
    static const QVector<PunctuationMark> table = {
        // ascii, key, caption in Chinese mode, typed, closing, code mark, selects
        {";", "btnOther14", "；", "；", {}, true, 2},
        {"'", "btnOther22", "‘", "’", {}, true, 3},
        {",", "btnOther17", "，", "，", {}, true, 0},
        {".", "btnOther18", "。", "。", {}, true, 0},
        {"/", "btnOther12", "/", "/", {}, true, 0},
        {"\\", "btnOther13", "、", "、", {}, true, 0},
        {"?", "btnOther15", "？", "？", {}, false, 0},
        {"!", "btnOther1", "！", "！", {}, false, 0},
        {"(", "btnOther20", "（", "（", {}, false, 0},
        {")", "btnOther21", "）", "）", {}, false, 0},
        {":", {}, {}, "：", {}, false, 0},
        {"\"", {}, {}, "“", "”", false, 0},
        {"@", {}, {}, "·", {}, false, 0},
        {"$", {}, {}, "￥", {}, false, 0},
        {"^", {}, {}, "……", {}, false, 0},
        {"_", {}, {}, "——", {}, false, 0},
        {"<", {}, {}, "《", {}, false, 0},
        {">", {}, {}, "》", {}, false, 0},
    };
    return table;
}

const PunctuationMark* forText(const QString& text)
{
    for (const PunctuationMark& mark : marks()) {
        if (mark.ascii == text)
            return &mark;
    }
    return nullptr;
}

const PunctuationMark* forKey(const QString& keyName)
{
    if (keyName.isEmpty())
        return nullptr;
    for (const PunctuationMark& mark : marks()) {
        if (mark.key == keyName)
            return &mark;
    }
    return nullptr;
}

bool isCodeMark(QChar c)
{
    const PunctuationMark* mark = forText(QString(c));
    return mark && mark->inCode;
}

} // namespace Punctuation
