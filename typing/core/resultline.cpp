#include "typing/core/resultline.h"

#include "app/core/myhelper.h"
#include "app/core/textchars.h"

namespace {

const QString ImLabel = QStringLiteral(" 输入法:");
const QString SignatureLabel = QStringLiteral(" 个签:");
const QString CheckLabel = QStringLiteral(" 校检:");
const QString ErrorTail = QStringLiteral("×][错一罚五]");

// The first n UTF-16 units of text (the line's lengths count QString units), moved back by one
// rather than cut between the two halves of a surrogate pair.
QString leftUnits(const QString& text, int n)
{
    if (text.length() <= n)
        return text;
    return text.left(TextChars::start(text, n));
}

// The name cut to n units with "..." behind when it is longer.
QString elided(const QString& text, int n)
{
    return text.length() > n ? leftUnits(text, n) + QStringLiteral("...") : text;
}

// Peaks in general notation with at most six significant digits.
QString peak(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

QString checkField(const QString& text)
{
    return myHelper::getMd5(text).left(5);
}

namespace {

// The segment header and the result items (without errors, input method, signature, check).
QString resultItemsText(const RunResult& run, const LineSettings& settings)
{
    // Items of columns 0 to 13, each behind a blank; the wrong count has its own part.
    static const QStringList headers = resultColumnHeaders();

    QString text = run.segmentHeader;
    for (int col = 0; col < ColWrong; ++col) {
        if (settings.items.isShown(col))
            text += QLatin1Char(' ') + headers.at(col) + run.cells.value(col);
    }
    const ColumnSwitches& s = settings.items;
    if (s.isShown(ColSpeed) && s.isShown(ColKeyRate) && s.isShown(ColCodeLength)) {
        text += QStringLiteral(" 峰值") + peak(run.peakSpeed) + QLatin1Char('/') + peak(run.peakKeyRate) +
                QLatin1Char('/') + peak(run.peakCodeLength);
    }
    return text;
}

// The wrong-character part of a follow or blind run; sets shortResult from resultText.
void appendErrorPart(ResultLine& line, const RunResult& run, const LineSettings& settings)
{
    if (run.wrongCount <= 0 || !settings.items.isShown(ColWrong)) {
        line.shortResult = line.resultText;
        return;
    }
    line.resultText += QStringLiteral(" 错字") + run.cells.value(ColWrong);
    line.shortResult = line.resultText;

    const QString head = QStringLiteral(" 错情[");
    line.resultText += head + run.wrongRefChars + QStringLiteral("√ ") + run.wrongTypedChars + ErrorTail;
    if (run.wrongRefChars.length() > 10) {
        line.shortResult += head + leftUnits(run.wrongRefChars, 10) + QStringLiteral("...√ ") +
                            leftUnits(run.wrongTypedChars, 10) + QStringLiteral("...") + ErrorTail;
    } else {
        line.shortResult += head + run.wrongRefChars + QStringLiteral("√ ") + run.wrongTypedChars + ErrorTail;
    }
}

// Input method, signature, check field, title and mode; computes resultTextPlain and check.
void finishResultLine(ResultLine& line, const LineSettings& settings)
{
    line.resultTextPlain = line.resultText;
    if (settings.shuRuFa2) {
        line.resultText += ImLabel + settings.shuRuFa;
        line.shortResult += ImLabel + elided(settings.shuRuFa, 10);
    }
    if (settings.qianMing2) {
        line.resultText += SignatureLabel + settings.qianMing;
        line.shortResult += SignatureLabel + elided(settings.qianMing, 15);
    }
    line.check = checkField(line.resultTextPlain);
    const QString tail = CheckLabel + line.check + QLatin1Char(' ') + settings.appTitle;
    line.resultText += tail;
    line.shortResult += tail;
    line.shortResult = leftUnits(line.shortResult, 230);

    QString mode;
    if (settings.pattern == 1)
        mode = QStringLiteral(" 自由模式");
    else if (settings.pattern == 2)
        mode = QStringLiteral(" 盲打模式");
    line.resultText += mode;
    line.shortResult += mode;
}

} // namespace

ResultLine buildResultLine(const RunResult& run, const LineSettings& settings, RunEnd end)
{
    ResultLine line;
    line.resultText = resultItemsText(run, settings);
    if (end == RunEnd::Free) {
        // A free run carries no error part and its items are trimmed before the check is taken.
        line.resultText = line.resultText.trimmed();
        line.shortResult = line.resultText;
    } else {
        appendErrorPart(line, run, settings);
    }
    finishResultLine(line, settings);
    return line;
}

namespace {

QList<int> positionsOf(const QString& text, const QString& label)
{
    QList<int> found;
    for (int i = text.indexOf(label); i >= 0; i = text.indexOf(label, i + 1))
        found << i;
    return found;
}

// The rule every member's trainer applies: the hashed part ends one character before the
// verifier's own last label (dropping the label's blank), or before the first check label when
// neither switch is on. A line without a check label compares against the text from position 2,
// which a genuine hash does not match in practice.
bool verifiedBySwitches(const QString& text, bool shuRuFa2, bool qianMing2)
{
    const int p = text.indexOf(QStringLiteral("校检:"));
    const QString claimed = text.mid(p + 3, 5);
    int end;
    if (shuRuFa2)
        end = text.lastIndexOf(QStringLiteral("输入法:")) - 1;
    else if (qianMing2)
        end = text.lastIndexOf(QStringLiteral("个签:")) - 1;
    else
        end = p - 1;
    const QString hashed = end < 0 ? text : text.left(end);
    return checkField(hashed) == claimed;
}

// The line's own labels decide: the hashed part may end before any input-method, signature or
// check label found in the line, and the claimed digits follow the first or the last check label
// (a signature may itself hold one).
bool verifiedByLabels(const QString& text)
{
    const QString checkText = QStringLiteral("校检:");
    const int first = text.indexOf(checkText);
    if (first < 0)
        return false;
    QStringList claims = {text.mid(first + checkText.length(), 5)};
    const QString lastClaim = text.mid(text.lastIndexOf(checkText) + checkText.length(), 5);
    if (lastClaim != claims.first())
        claims << lastClaim;

    const QList<int> ends =
        positionsOf(text, ImLabel) + positionsOf(text, SignatureLabel) + positionsOf(text, CheckLabel);
    for (int end : ends) {
        const QString digits = checkField(text.left(end));
        if (claims.contains(digits))
            return true;
    }
    return false;
}

} // namespace

LineCheck verifyResultLine(const QString& clipboardText, bool verifierShuRuFa2, bool verifierQianMing2)
{
    LineCheck result;
    const QString text = clipboardText.trimmed();
    if (!text.contains(ResultLineMarker)) {
        result.outcome = LineCheck::NotOurs;
        result.message = QStringLiteral("只能识别Tavrel跟打器成绩！");
        return result;
    }
    if (verifiedBySwitches(text, verifierShuRuFa2, verifierQianMing2) || verifiedByLabels(text)) {
        result.outcome = LineCheck::Genuine;
        result.message = QStringLiteral("成绩为真！");
    } else {
        result.outcome = LineCheck::Forged;
        result.message = QStringLiteral("成绩为假！");
    }
    return result;
}
