#ifndef TAVREL_RESULTS_H
#define TAVREL_RESULTS_H

#include <QString>
#include <QStringList>

#include <array>

// Result figures of a typing run: the live figures recomputed on every clock tick, the 15 cells of
// the result table, their colours and the per-tick history texts the speed curve is drawn from.
// Widget-free: the main window fills a RunInputs from its members and the key counters, calls
// computeResultFigures() and shows what comes back.

// The result table's columns, in order; the same order as the item switches of the result line.
enum ResultColumn {
    ColSpeed = 0,
    ColKeyRate,
    ColCodeLength,
    ColCharCount,
    ColTime,
    ColCorrections,
    ColBackspaces,
    ColEnters,
    ColKeys,
    ColSelections,
    ColKeyAccuracy,
    ColHandRatio,
    ColRetypes,
    ColWordRatio,
    ColWrong,
    ResultColumnCount
};

// Header texts of the 15 columns.
QStringList resultColumnHeaders();

// Width of every column after construction and after clearing the table, and the widths used when
// the final speed cell (penalty speed "/" plain speed) is too long for it.
constexpr int ResultColumnWidth = 90;
constexpr int WideSpeedColumnWidth = 130;
constexpr int NarrowColumnWidth = 86;

// True when the speed cell is long enough that column 0 must widen.
bool needsWideSpeedColumn(const QString& speedCell);

// The run's key counters (the window fills them from the shared counters, see coresettings.h).
struct KeyCounters
{
    int keyCount = 0;
    int selectCount = 0;
    int enterCount = 0;
    int backCount = 0;
    int correctCount = 0;
    int leftKeys = 0;
    int rightKeys = 0;
};

// Everything the figures are computed from.
struct RunInputs
{
    int ticks = 0;                   // 10 ms clock ticks of the run
    int typedCount = 0;              // characters typed of the whole passage (QString length)
    int uncountedLength = 0;         // QString length of the run's first key or commit that stayed in the
                                     // pane, which does not count (taken off at most typedCount)
    int wordChars = 0;               // characters committed in commits of two or more characters
    int wrongCount = 0;              // wrong positions so far
    int retypeCount = 0;             // completed runs of the current passage
    double previousCodeLength = 0.0; // kept when nothing is counted yet
    KeyCounters keys;
};

struct ResultFigures
{
    double runMinutes = 0.0;
    double runSeconds = 0.0;
    int countedChars = 0;
    double speed = 0.0;      // characters per minute
    double keyRate = 0.0;    // keys per second
    double codeLength = 0.0; // keys per counted character
    QString speedText;
    QString keyRateText;
    QString codeLengthText;
    QString keyAccuracyText; // percentages without the "%" sign
    QString wordRatioText;
    QString handRatioText;
    QStringList cells; // the 15 cell texts, columns 0 to 14
};

// Computes every figure and cell text of one evaluation. A run of 0 ticks gives speed and
// keystroke rate 0 (the clock has not ticked yet), never an infinite or undefined value.
ResultFigures computeResultFigures(const RunInputs& in);
// Only the figures and texts a clock tick needs (speed, keystroke rate, code length): the other
// texts and the cells stay empty. The tick runs 100 times a second; the cells are shown far less.
ResultFigures computeRunFigures(const RunInputs& in);

// A number with two decimals in fixed notation; an infinite or undefined value reads "0.00".
QString fixed2(double value);

// One "0" in front when width exceeds the text's length (once, whatever the difference).
void padZero(QString& text, int width);

// The run time as the clock shows it: minutes ":" seconds "." hundredths, each at least two digits.
QString clockText(int ticks);

// The penalty speed: every wrong character costs five counted characters. Negative when the
// errors outweigh the characters; 0 before the clock has ticked.
double penaltySpeed(const ResultFigures& figures, int wrongCount);

// Cell 0 at the end of a run with wrong characters: penalty speed, "/", plain speed. With no
// wrong character the plain speed text is returned unchanged.
QString penaltySpeedCell(const ResultFigures& figures, int wrongCount);

// The result buttons' captions, each read with its figure behind it.
inline const QString SpeedCaption = QStringLiteral("速度:");
inline const QString KeyRateCaption = QStringLiteral("击键:");
inline const QString CodeLengthCaption = QStringLiteral("码长:");
inline const QString TheoreticalLengthCaption = QStringLiteral("理论码长:");

// Texts of the three result buttons from cells 0 to 2; with no cells, the bare captions.
QStringList resultButtonTexts(const QStringList& cells);

// Colour of the first three cells. None leaves the cell's foreground alone.
enum class CellColour { None, Red, Green, Blue };

struct ResultColours
{
    CellColour speed = CellColour::None;
    CellColour keyRate = CellColour::None;
    CellColour codeLength = CellColour::None;
};

// The colour bands; the caller applies them only while colouring is switched on.
ResultColours resultColours(double speed, double keyRate, double codeLength);

// Which columns (and result-line items) are shown: one switch per column, in column order.
struct ColumnSwitches
{
    std::array<bool, ResultColumnCount> shown;

    ColumnSwitches() { shown.fill(true); }
    bool isShown(int column) const { return column >= 0 && column < ResultColumnCount && shown[column]; }
    bool isHidden(int column) const { return !isShown(column); }
};

// The curve window's peaks, taken from the filtered histories at the end of a run.
struct CurvePeaks
{
    double speed = 0.0;
    double keyRate = 0.0;
    double codeLength = 0.0; // lowest positive code length
};

// The four per-run history texts: one sample per evaluation, each followed by one blank.
struct ResultHistories
{
    QString speedHistory;  // whole-number speeds
    QString speedHistory2; // speeds with two decimals
    QString keyRateHistory;
    QString codeLenHistory;

    void append(const ResultFigures& figures);
    void clear();

    // Drops the first sample of each text and the samples far off the final figures, writes the
    // filtered texts back and returns the peaks. The empty item after the last blank is not kept
    // as a sample, so the curve gets no stray zero points.
    CurvePeaks filterAndPeaks(double finalSpeed, double finalKeyRate, double finalCodeLength);
};

#endif
