#ifndef TAVREL_TYPING_RESULTTABLE_H
#define TAVREL_TYPING_RESULTTABLE_H

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include "typing/core/results.h"

class QStandardItemModel;
class QTableView;
class QWidget;

// The result table under the panes and the figures behind it: the last evaluation of the run, its
// histories for the speed curve, the peaks taken from them at the end of a run, and the row the
// run writes to (the 15 cells of the current row, the colours of the first three).
class ResultTable : public QObject
{
    Q_OBJECT

public:
    // Makes the table (a child of `parentWidget`) with its 15 headed columns.
    explicit ResultTable(QWidget* parentWidget);

    QTableView* view() const { return m_view; }

    // ---- Figures ----
    // One evaluation: the figures are replaced and one sample joins each history.
    void evaluate(const RunInputs& in);
    const ResultFigures& figures() const { return m_figures; }
    const ResultHistories& histories() const { return m_histories; }
    void clearHistories() { m_histories.clear(); }
    // Filters the histories against the final figures and keeps the peaks they give.
    void takePeaks(double finalSpeed, double finalKeyRate, double finalCodeLength);
    const CurvePeaks& peaks() const { return m_peaks; }

    // ---- The current row ----
    int row() const { return m_row; }
    // The finished row stays; the next run writes the row below.
    void nextRow()
    {
        ++m_row;
        m_rowBlank = false;
    }
    // Every row goes; the next run writes the first.
    void clearRows();
    // Computes the cells from `in` and writes the whole row.
    void fillRow(const RunInputs& in);
    // The cells as last filled (empty before the first fill).
    const QStringList& cells() const { return m_cells; }
    // Whether the live row is due to be shown again: about 30 times a second, as fast as it can be
    // read. The figures behind it are computed on every tick all the same.
    bool liveRowDue();
    // Changes one of the filled cells without writing it (the line reads it).
    void keepCell(int column, const QString& text);
    // Writes one cell of the current row.
    void setCell(int column, const QString& text);
    QString cellText(int column) const;
    // Empties the current row in place.
    void clearRow();
    // Colours the first three cells by the given figures.
    void colourRow(double speed, double keyRate, double codeLength);
    void resetColumnWidths();
    // A long penalty-speed cell widens column 0 and narrows the others.
    void widenSpeedColumn();
    void applyColumnSwitches(const ColumnSwitches& switches);

private:
    QTableView* m_view = nullptr;
    QStandardItemModel* m_model = nullptr;
    ResultFigures m_figures;
    ResultHistories m_histories;
    CurvePeaks m_peaks;
    QStringList m_cells;
    int m_row = 0;
    bool m_rowBlank = false; // the current row was emptied and nothing written since
    ColumnSwitches m_switches;
    bool m_switchesApplied = false;
    QElapsedTimer m_liveRowShown;
};

#endif
