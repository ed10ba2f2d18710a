#include "typing/resulttable.h"

#include <QEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

// The live row is repainted about 30 times a second. The style lays a cell's text out three times
// (its size, its elision, its drawing); a plain figure needs it once. A selected or focused cell
// keeps the style's look.
class FigureCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        if ((cell.state & (QStyle::State_Selected | QStyle::State_HasFocus)) ||
            cell.backgroundBrush.style() != Qt::NoBrush || (cell.features & QStyleOptionViewItem::Alternate)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QPalette::ColorGroup group = (cell.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setClipRect(cell.rect);
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, QPalette::Text));
        painter->drawText(cell.rect, int(cell.displayAlignment), cell.text);
        painter->restore();
    }
};

QColor colourOf(CellColour colour)
{
    switch (colour) {
    case CellColour::Red:
        return Qt::red;
    case CellColour::Green:
        return Qt::green;
    case CellColour::Blue:
        return Qt::blue;
    case CellColour::None:
        break;
    }
    return QColor();
}

// The viewport filling its own background is opaque, so a changed cell repaints the viewport alone,
// not the window, body, splitter and frame under it as well; the colour is the same. A style
// sheet turns the filling off whenever it polishes the table, so it is turned on again after.
class FigureTableView : public QTableView
{
public:
    explicit FigureTableView(QWidget* parent) : QTableView(parent) { viewport()->setAutoFillBackground(true); }

protected:
    bool event(QEvent* event) override
    {
        const bool handled = QTableView::event(event);
        if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
            viewport()->setAutoFillBackground(true);
        return handled;
    }
};

} // namespace

ResultTable::ResultTable(QWidget* parentWidget) : QObject(parentWidget)
{
    m_view = new FigureTableView(parentWidget);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setShowGrid(false);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_model = new QStandardItemModel(this);
    m_model->setHorizontalHeaderLabels(resultColumnHeaders());
    m_view->setModel(m_model);
    m_view->setItemDelegate(new FigureCellDelegate(m_view));
}

void ResultTable::evaluate(const RunInputs& in)
{
    m_figures = computeRunFigures(in);
    m_histories.append(m_figures);
}

void ResultTable::takePeaks(double finalSpeed, double finalKeyRate, double finalCodeLength)
{
    m_peaks = m_histories.filterAndPeaks(finalSpeed, finalKeyRate, finalCodeLength);
}

void ResultTable::clearRows()
{
    m_model->removeRows(0, m_model->rowCount());
    m_row = 0;
    m_rowBlank = false;
    resetColumnWidths();
}

void ResultTable::fillRow(const RunInputs& in)
{
    // The cells are taken from the run as it stands now, so a wrong count completed after the
    // last evaluation shows.
    m_cells = computeResultFigures(in).cells;
    for (int column = 0; column < ResultColumnCount; ++column)
        setCell(column, m_cells.at(column));
}

bool ResultTable::liveRowDue()
{
    constexpr qint64 LiveRowIntervalMs = 33;
    if (m_liveRowShown.isValid() && !m_liveRowShown.hasExpired(LiveRowIntervalMs))
        return false;
    m_liveRowShown.start();
    return true;
}

void ResultTable::keepCell(int column, const QString& text)
{
    if (m_cells.size() == ResultColumnCount && column >= 0 && column < ResultColumnCount)
        m_cells[column] = text;
}

void ResultTable::setCell(int column, const QString& text)
{
    // The clock rewrites the row on every tick. Putting a new item into the model makes the table
    // redo its layout, which was most of a tick; the item already there is written instead.
    QStandardItem* item = m_model->item(m_row, column);
    // Most cells keep their text from one tick to the next; each write repaints the table. A kept
    // figure keeps its colour, which the colouring decides again after every fill.
    if (item && item->text() == text && item->data(Qt::TextAlignmentRole).isValid())
        return;
    if (!item) {
        item = new QStandardItem;
        m_model->setItem(m_row, column, item);
    }
    m_rowBlank = false;
    // All roles in one write, one change for the view to repaint. A new figure starts without
    // colour, as in a new cell; an empty value removes the role.
    m_model->setItemData(item->index(), {{Qt::DisplayRole, text},
                                         {Qt::TextAlignmentRole, int(Qt::AlignHCenter | Qt::AlignVCenter)},
                                         {Qt::ForegroundRole, QVariant()}});
}

QString ResultTable::cellText(int column) const
{
    const QStandardItem* item = m_model->item(m_row, column);
    return item ? item->text() : QString();
}

void ResultTable::clearRow()
{
    // Emptied in place: a new item makes the table redo its layout, and this runs on every tick
    // while the row is not shown live; once blank, it stays so until a cell is written.
    if (m_rowBlank)
        return;
    m_rowBlank = true;
    for (int column = 0; column < ResultColumnCount; ++column) {
        if (QStandardItem* item = m_model->item(m_row, column)) {
            if (!m_model->itemData(item->index()).isEmpty())
                item->clearData();
        } else
            m_model->setItem(m_row, column, new QStandardItem());
    }
}

void ResultTable::colourRow(double speed, double keyRate, double codeLength)
{
    const ResultColours colours = resultColours(speed, keyRate, codeLength);
    const std::pair<int, CellColour> cells[] = {
        {ColSpeed, colours.speed}, {ColKeyRate, colours.keyRate}, {ColCodeLength, colours.codeLength}};
    for (const auto& [column, colour] : cells) {
        QStandardItem* item = m_model->item(m_row, column);
        // An empty cell shows no colour: colouring it would only repaint the row off screen.
        if (!item || item->text().isEmpty())
            continue;
        // A figure outside every band has no colour, whatever the cell showed before.
        const QVariant brush = colour == CellColour::None ? QVariant() : QBrush(colourOf(colour), Qt::SolidPattern);
        if (item->data(Qt::ForegroundRole) != brush)
            item->setData(brush, Qt::ForegroundRole);
    }
}

void ResultTable::resetColumnWidths()
{
    for (int column = 0; column < m_model->columnCount(); ++column)
        m_view->setColumnWidth(column, ResultColumnWidth);
}

void ResultTable::widenSpeedColumn()
{
    m_view->setColumnWidth(ColSpeed, WideSpeedColumnWidth);
    for (int column = 1; column < ResultColumnCount; ++column)
        m_view->setColumnWidth(column, NarrowColumnWidth);
}

void ResultTable::applyColumnSwitches(const ColumnSwitches& switches)
{
    // Applied on every tick while the row is not shown live.
    if (m_switchesApplied && m_switches.shown == switches.shown)
        return;
    m_switches = switches;
    m_switchesApplied = true;
    for (int column = 0; column < ResultColumnCount; ++column)
        m_view->setColumnHidden(column, switches.isHidden(column));
}
