#include "typing/core/results.h"

#include <QVector>

#include <cmath>

QStringList resultColumnHeaders()
{
    return {QStringLiteral("速度"), QStringLiteral("击键"), QStringLiteral("码长"), QStringLiteral("字数"),
            QStringLiteral("时间"), QStringLiteral("回改"), QStringLiteral("退格"), QStringLiteral("回车"),
            QStringLiteral("键数"), QStringLiteral("选重"), QStringLiteral("键准"), QStringLiteral("键法"),
            QStringLiteral("重打"), QStringLiteral("打词"), QStringLiteral("错字")};
}

bool needsWideSpeedColumn(const QString& speedCell)
{
    return speedCell.length() > 8;
}

QString fixed2(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0.00");
    return QString::number(value, 'f', 2);
}

void padZero(QString& text, int width)
{
    if (width > text.length())
        text.prepend(QLatin1Char('0'));
}

QString clockText(int ticks)
{
    if (ticks < 0)
        ticks = 0;
    // The clock counts hundredths into seconds and seconds into minutes; minutes never wrap.
    QString minutes = QString::number(ticks / 6000);
    QString seconds = QString::number((ticks / 100) % 60);
    QString centis = QString::number(ticks % 100);
    padZero(minutes, 2);
    padZero(seconds, 2);
    padZero(centis, 2);
    return minutes + QLatin1Char(':') + seconds + QLatin1Char('.') + centis;
}

namespace {

// A quotient that stays finite: a zero (or undefined) divisor gives 0.
double ratio(double numerator, double denominator)
{
    if (denominator == 0.0 || !std::isfinite(denominator))
        return 0.0;
    const double q = numerator / denominator;
    return std::isfinite(q) ? q : 0.0;
}

QString handRatio(const KeyCounters& k)
{
    if (k.leftKeys != 0 && k.rightKeys != 0)
        return fixed2(double(k.leftKeys) / double(k.rightKeys) * 100.0);
    if (k.leftKeys != 0)
        return QStringLiteral("+100.00");
    if (k.rightKeys != 0)
        return QStringLiteral("-100.00");
    return QStringLiteral("0.00");
}

} // namespace

ResultFigures computeRunFigures(const RunInputs& in)
{
    ResultFigures f;
    const KeyCounters& k = in.keys;

    const int ticks = in.ticks > 0 ? in.ticks : 0;
    f.runMinutes = ticks / 6000.0;
    f.runSeconds = f.runMinutes * 60.0;

    // Of the first commit only what stayed in the pane goes uncounted, so what is typed after a commit
    // far longer than the page counts; erased again, it takes off no more than is typed.
    f.countedChars = in.typedCount - qBound(0, in.uncountedLength, qMax(0, in.typedCount));

    f.speed = ratio(f.countedChars, f.runMinutes);
    f.speedText = fixed2(f.speed);

    f.keyRate = ratio(k.keyCount, f.runSeconds);
    f.keyRateText = fixed2(f.keyRate);

    if (f.countedChars != 0) {
        f.codeLength = double(k.keyCount) / double(f.countedChars);
        f.codeLengthText = fixed2(f.codeLength);
    } else {
        f.codeLength = in.previousCodeLength;
        f.codeLengthText = QStringLiteral("0.00");
    }
    return f;
}

ResultFigures computeResultFigures(const RunInputs& in)
{
    ResultFigures f = computeRunFigures(in);
    const KeyCounters& k = in.keys;
    const int ticks = in.ticks > 0 ? in.ticks : 0;

    if (k.keyCount != 0)
        f.keyAccuracyText = fixed2(double(k.keyCount - k.correctCount) / double(k.keyCount) * 100.0);
    else
        f.keyAccuracyText = QStringLiteral("0.00");

    if (f.countedChars != 0) {
        const double words = double(in.wordChars) / double(f.countedChars);
        f.wordRatioText = words >= 1.0 ? QStringLiteral("100.00") : fixed2(words * 100.0);
    } else {
        f.wordRatioText = QStringLiteral("0.00");
    }

    f.handRatioText = handRatio(k);

    const QString percent = QStringLiteral("%");
    f.cells.reserve(ResultColumnCount);
    f.cells << f.speedText << f.keyRateText << f.codeLengthText << QString::number(in.typedCount) << clockText(ticks)
            << QString::number(k.correctCount) << QString::number(k.backCount - k.correctCount)
            << QString::number(k.enterCount) << QString::number(k.keyCount) << QString::number(k.selectCount)
            << f.keyAccuracyText + percent << f.handRatioText + percent << QString::number(in.retypeCount)
            << f.wordRatioText + percent << QString::number(in.wrongCount);
    return f;
}

double penaltySpeed(const ResultFigures& figures, int wrongCount)
{
    return ratio(figures.countedChars - 5.0 * wrongCount, figures.runMinutes);
}

QString penaltySpeedCell(const ResultFigures& figures, int wrongCount)
{
    if (wrongCount < 1)
        return figures.speedText;
    return fixed2(penaltySpeed(figures, wrongCount)) + QLatin1Char('/') + figures.speedText;
}

QStringList resultButtonTexts(const QStringList& cells)
{
    QStringList texts = {SpeedCaption, KeyRateCaption, CodeLengthCaption};
    for (int i = 0; i < texts.size() && i < cells.size(); ++i)
        texts[i] += cells.at(i);
    return texts;
}

ResultColours resultColours(double speed, double keyRate, double codeLength)
{
    ResultColours c;
    if (speed >= 220)
        c.speed = CellColour::Red;
    else if (speed >= 200)
        c.speed = CellColour::Green;
    else if (speed >= 180)
        c.speed = CellColour::Blue;

    if (keyRate >= 10)
        c.keyRate = CellColour::Red;
    else if (keyRate >= 9)
        c.keyRate = CellColour::Green;
    else if (keyRate >= 8)
        c.keyRate = CellColour::Blue;

    if (codeLength <= 1.8)
        c.codeLength = CellColour::Red;
    else if (codeLength <= 2.0)
        c.codeLength = CellColour::Green;
    else if (codeLength <= 2.2)
        c.codeLength = CellColour::Blue;
    return c;
}

void ResultHistories::append(const ResultFigures& figures)
{
    const QChar blank = QLatin1Char(' ');
    speedHistory += QString::number(std::isfinite(figures.speed) ? figures.speed : 0.0, 'f', 0) + blank;
    speedHistory2 += figures.speedText + blank;
    keyRateHistory += figures.keyRateText + blank;
    codeLenHistory += figures.codeLengthText + blank;
}

void ResultHistories::clear()
{
    speedHistory.clear();
    speedHistory2.clear();
    keyRateHistory.clear();
    codeLenHistory.clear();
}

namespace {

// Values of the samples after the first one, each kept when keep(value) holds. The text is
// rewritten from the kept items, each followed by one blank.
template <typename Keep> QVector<double> filterHistory(QString& history, Keep keep)
{
    QVector<double> kept;
    QString filtered;
    const QStringList items = history.split(QLatin1Char(' '));
    // The last item is the empty one after the final blank; it is no sample.
    int count = items.size();
    if (count > 0 && items.last().isEmpty())
        --count;
    for (int i = 1; i < count; ++i) {
        bool ok = false;
        double value = items.at(i).toDouble(&ok);
        if (!ok || !std::isfinite(value))
            value = 0.0;
        if (!keep(value))
            continue;
        kept << value;
        filtered += items.at(i) + QLatin1Char(' ');
    }
    history = filtered;
    return kept;
}

double highest(const QVector<double>& values)
{
    if (values.isEmpty())
        return 0.0;
    double peak = values.first();
    for (double v : values)
        if (v > peak)
            peak = v;
    return peak;
}

} // namespace

CurvePeaks ResultHistories::filterAndPeaks(double finalSpeed, double finalKeyRate, double finalCodeLength)
{
    const auto speedOk = [finalSpeed](double v) { return v <= finalSpeed + 30; };
    const QVector<double> speeds = filterHistory(speedHistory2, speedOk);
    filterHistory(speedHistory, speedOk);
    const QVector<double> keyRates =
        filterHistory(keyRateHistory, [finalKeyRate](double v) { return v <= finalKeyRate + 2; });
    const QVector<double> codeLengths =
        filterHistory(codeLenHistory, [finalCodeLength](double v) { return v >= finalCodeLength - 0.5; });

    CurvePeaks peaks;
    peaks.speed = highest(speeds);
    peaks.keyRate = highest(keyRates);
    // The lowest code length starts from the first sample and only a positive one replaces it.
    if (!codeLengths.isEmpty()) {
        peaks.codeLength = codeLengths.first();
        for (double v : codeLengths)
            if (v < peaks.codeLength && v > 0)
                peaks.codeLength = v;
    }
    return peaks;
}
