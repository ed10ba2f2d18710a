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

const int kTickCount = 10;
const QColor kScatterColour(5, 189, 251);
const QColor kLineColour(41, 138, 220);
const QColor kFillColour(41, 138, 220, 80);

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
    const QPen white(Qt::white, 1);
    for (QCPAxis* axis : {p->xAxis, p->yAxis}) {
        axis->setBasePen(white);
        axis->setTickPen(white);
        axis->setSubTickPen(white);
        axis->setTickLabelColor(Qt::white);
        axis->setLabelColor(Qt::white);
        axis->ticker()->setTickCount(kTickCount);
    }
    p->setBackground(QBrush(verticalGradient(QColor(80, 80, 80), QColor(50, 50, 50))));
    p->axisRect()->setBackground(QBrush(verticalGradient(QColor(80, 80, 80), QColor(30, 30, 30))));
    p->xAxis->setRange(0, m_itemCount + 1);
    p->yAxis->setLabel(QStringLiteral("速度(单位:字数/每分钟)"));
    p->graph(0)->setName(QStringLiteral("速度(单位:字数/每分钟)"));
    p->replot();
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
    p->xAxis->ticker()->setTickCount(kTickCount);
    p->yAxis->ticker()->setTickCount(kTickCount);
    p->rescaleAxes();
    p->replot();
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

