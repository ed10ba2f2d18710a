#include "sending/fwstate.h"
#include "ui_fwstate.h"

#include "app/core/app.h"
#include "app/dragframe.h"
#include "app/fieldtext.h"
#include "app/iconhelper.h"
#include "sending/core/segmentcycle.h"

void placeBesideMainWindow(QWidget* window, ScreenPlace::Side side, const QSize& size, int leastWidth)
{
    // The globals hold the main window's place; its screen is the one the side is judged on.
    const QRect main(App::X, App::Y, App::Width, App::Height);
    window->setGeometry(ScreenPlace::beside(main, size, side, DragFrame::availableAreaNear(main), leastWidth));
}

Fwstate::Fwstate(QWidget* parent) : QWidget(parent), m_ui(new Ui::Fwstate)
{
    m_ui->setupUi(this);
    DragFrame::makeDraggable(this);
    setProperty("Fwstate", true);
    // A status beside the window: showing it leaves the keyboard with the typing pane.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint);
    IconHelper::Instance()->setIcon(m_ui->lab_Ico, QChar(0xF00A), 12);
    IconHelper::Instance()->setIcon(m_ui->btnMenu_Close, QChar(0xF00D), 10);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
    recvzbgb(App::X, App::Y);
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
    // Its fields stand at fixed places: it keeps its size wherever it stands.
    placeBesideMainWindow(this, ScreenPlace::Side::Left, size(), width());
}

void Fwstate::on_button_clicked()
{
    close();
    emit stopRequested();
}

