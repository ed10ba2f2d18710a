#include "sending/quxian.h"
#include "ui_quxian.h"

#include "app/core/app.h"
#include "app/dragframe.h"
#include "app/iconhelper.h"
#include "sending/core/curvedata.h"
#include "sending/sideplaces.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <qcustomplot.h>

namespace {

// Room along an axis for each tick: the step the library picks may come out a third smaller.
const int kTickRoom = 40;
const int kLabelGap = 4;
// The top margin while the y axis's title stands along it: the library's own, room for half the top
// number.
const int kAlongTop = 15;
const QColor kScatterColour(5, 189, 251);
const QColor kLineColour(41, 138, 220);
const QColor kFillColour(41, 138, 220, 80);

QString speedTitle()
{
    return QStringLiteral("速度(单位:字数/每分钟)");
}

// About one tick per kTickRoom px of `length`, fewer where labels of `extent` px need more room;
// at least one step, so both ends keep a number.
int tickCount(int length, int extent)
{
    return qMax(1, length / qMax(kTickRoom, (extent + kLabelGap) * 3 / 2));
}

QLinearGradient verticalGradient(const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(0, 0, 0, 350);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

} // namespace

quxian::quxian(QWidget* parent) : QWidget(parent), m_ui(new Ui::quxian)
{
    m_ui->setupUi(this);
    DragFrame::makeDraggable(this);
    DragFrame::closeOnEscape(this);
    setAttribute(Qt::WA_DeleteOnClose);
    initForm();
    initPlot();
    initGraph();
    resize(App::Width, App::Height);
    SidePlaces::place(this);
}

quxian::~quxian() = default;

QCustomPlot* quxian::plot() const
{
    return m_ui->plot1;
}

void quxian::initForm()
{
    setProperty("Form", true);
    setWindowTitle(m_ui->lab_Title->text());
    setWindowFlags(Qt::FramelessWindowHint);
    IconHelper::Instance()->setIcon(m_ui->lab_Ico, QChar(0xF012), 10);
    IconHelper::Instance()->setIcon(m_ui->btnMenu_Close, QChar(0xF00D), 10);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
}

void quxian::initPlot()
{
    QCustomPlot* p = m_ui->plot1;
    p->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
    p->legend->setBrush(QColor(255, 255, 255, 200));
    p->addGraph();
    // Set for every replot from the plot's size: more ticks than the axes have room for run into each
    // other, and a short y axis has no room for its title along it.
    connect(p, &QCustomPlot::beforeReplot, this, &quxian::fitAxes);
    m_title = new QCPItemText(p);
    m_title->setClipToAxisRect(false);
    m_title->position->setTypeX(QCPItemPosition::ptAbsolute);
    m_title->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    m_title->position->setCoords(kLabelGap, 0);
    m_title->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
    m_title->setText(speedTitle());
    m_title->setColor(Qt::white);
    const QPen white(Qt::white, 1);
    for (QCPAxis* axis : {p->xAxis, p->yAxis}) {
        axis->setBasePen(white);
        axis->setTickPen(white);
        axis->setSubTickPen(white);
        axis->setTickLabelColor(Qt::white);
        axis->setLabelColor(Qt::white);
    }
    p->setBackground(QBrush(verticalGradient(QColor(80, 80, 80), QColor(50, 50, 50))));
    p->axisRect()->setBackground(QBrush(verticalGradient(QColor(80, 80, 80), QColor(30, 30, 30))));
    p->xAxis->setRange(0, m_itemCount + 1);
    p->graph(0)->setName(speedTitle());
    m_title->setFont(p->yAxis->labelFont());
    // Above the top tick's number where it stands across.
    const int tickHalf = QFontMetrics(p->yAxis->tickLabelFont()).height() / 2;
    m_title->setPadding(QMargins(0, 0, 0, tickHalf + kLabelGap));
    m_acrossTop = QFontMetrics(m_title->font()).height() + tickHalf + 2 * kLabelGap;
    p->replot();
    // Its least height has room for the title across and the least axis rect under it.
    p->setMinimumHeight(m_acrossTop + p->axisRect()->minimumSize().height() + p->axisRect()->margins().bottom());
}

void quxian::initGraph()
{
    QCPGraph* graph = m_ui->plot1->graph(0);
    graph->setPen(QPen(kLineColour, 1));
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(kScatterColour), QBrush(kScatterColour), 3));
    if (m_ui->ckBackground->isChecked())
        graph->setBrush(kFillColour);
    m_ui->plot1->replot();
}

void quxian::recvqx(const QString& speeds)
{
    m_speeds = speeds;
    LoadPlot();
}

void quxian::LoadPlot()
{
    const CurvePoints points = curvePoints(m_speeds);
    m_itemCount = points.count();
    m_ui->labInfo->setText(QStringLiteral("共 %1 条数据").arg(m_itemCount));
    QCustomPlot* p = m_ui->plot1;
    p->graph(0)->setData(points.x, points.y, true);
    p->rescaleAxes();
    p->replot();
}

void quxian::fitAxes()
{
    QCustomPlot* p = m_ui->plot1;
    QCPAxisRect* rect = p->axisRect();
    const QRect view = p->viewport();
    const QMargins laid = rect->margins(); // as the last replot laid it out
    // Centred on the axis, the title along it fits where it reaches neither edge of the plot.
    const int length = QFontMetrics(p->yAxis->labelFont()).horizontalAdvance(speedTitle());
    const bool along = view.height() >= length + qAbs(laid.bottom() - kAlongTop) + 2;
    p->yAxis->setLabel(along ? speedTitle() : QString());
    m_title->setVisible(!along);
    QMargins least = rect->minimumMargins();
    least.setTop(along ? kAlongTop : m_acrossTop);
    rect->setMinimumMargins(least);

    const QFontMetrics x(p->xAxis->tickLabelFont());
    const QCPRange range = p->xAxis->range();
    const int widest = qMax(x.horizontalAdvance(QString::number(qFloor(range.lower))),
                            x.horizontalAdvance(QString::number(qCeil(range.upper))));
    p->xAxis->ticker()->setTickCount(tickCount(view.width() - laid.left() - laid.right(), widest));
    p->yAxis->ticker()->setTickCount(
        tickCount(view.height() - least.top() - laid.bottom(), QFontMetrics(p->yAxis->tickLabelFont()).height()));
}

void quxian::recvzbgb(const int& x, const int& y)
{
    Q_UNUSED(x)
    Q_UNUSED(y)
    if (isVisible())
        SidePlaces::place();
}

void quxian::showEvent(QShowEvent* event)
{
    // Placed before the window manager maps it, and out of the sending-state panel's way.
    if (!event->spontaneous())
        SidePlaces::place(this);
    QWidget::showEvent(event);
}

void quxian::on_ckXGrid_stateChanged(int state)
{
    m_ui->plot1->xAxis->grid()->setSubGridVisible(state != 0);
    m_ui->plot1->replot();
}

void quxian::on_ckYGrid_stateChanged(int state)
{
    m_ui->plot1->yAxis->grid()->setSubGridVisible(state != 0);
    m_ui->plot1->replot();
}

void quxian::on_ckText_stateChanged(int state)
{
    m_ui->plot1->legend->setVisible(state != 0);
    m_ui->plot1->replot();
}

void quxian::on_ckBackground_stateChanged(int state)
{
    m_ui->plot1->graph(0)->setBrush(state != 0 ? QBrush(kFillColour) : QBrush(Qt::transparent));
    m_ui->plot1->replot();
}

void quxian::on_ckMove_stateChanged(int state)
{
    m_ui->plot1->setInteractions(state != 0 ? QCP::iRangeDrag | QCP::iRangeZoom : QCP::iSelectOther);
}

void quxian::closeEvent(QCloseEvent* event)
{
    emit sendQuit(QStringLiteral("child"));
    event->accept();
}
