#include "sending/fwstate.h"
#include "ui_fwstate.h"

#include "app/core/app.h"
#include "app/dragframe.h"
#include "app/fieldtext.h"
#include "app/iconhelper.h"
#include "sending/core/segmentcycle.h"
#include "sending/sideplaces.h"

#include <QShowEvent>

Fwstate::Fwstate(QWidget* parent) : QWidget(parent), m_ui(new Ui::Fwstate)
{
    m_ui->setupUi(this);
    m_formSize = size();
    DragFrame::makeDraggable(this);
    setProperty("Fwstate", true);
    // A status beside the window: showing it leaves the keyboard with the typing pane.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint);
    IconHelper::Instance()->setIcon(m_ui->lab_Ico, QChar(0xF00A), 12);
    IconHelper::Instance()->setIcon(m_ui->btnMenu_Close, QChar(0xF00D), 10);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
    SidePlaces::place(this);
    App::FwstateOpen = true;
}

Fwstate::~Fwstate()
{
    App::FwstateOpen = false;
}

void Fwstate::recvstate(const QString& title, const QString& header, const QString& fullText, const QString& sentSoFar)
{
    const SendingFigures figures = sendingFigures(fullText, sentSoFar);
    FieldText::showName(m_ui->lineEdit, title == QStringLiteral("自定义内容") ? App::Zdname : title);
    m_ui->lineEdit2->setText(header);
    m_ui->lineEdit3->setText(QString::number(figures.sent));
    m_ui->lineEdit4->setText(QString::number(figures.total));
    m_ui->lineEdit5->setText(QString::number(figures.left));
    m_ui->lineEdit6->setText(figures.percent + QStringLiteral("%"));
}

void Fwstate::recvzbgb(const int& x, const int& y)
{
    // The globals already hold the main window's new position when the signal comes.
    Q_UNUSED(x)
    Q_UNUSED(y)
    // A closed panel takes its place when it shows again.
    if (isVisible())
        SidePlaces::place();
}

void Fwstate::showEvent(QShowEvent* event)
{
    // Placed before the window manager maps it, and out of the curve's way.
    if (!event->spontaneous())
        SidePlaces::place(this);
    QWidget::showEvent(event);
}

void Fwstate::on_button_clicked()
{
    close();
    emit stopRequested();
}

