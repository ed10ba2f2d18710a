#include "input/inputsetting.h"
#include "ui_inputsetting.h"

#include "app/core/app.h"
#include "app/dragframe.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>

namespace {

void selectItem(QComboBox* box, const QString& text)
{
    // Exact and case-sensitive; a value that is no item leaves no current item.
    int found = -1;
    for (int i = 0; i < box->count() && found < 0; ++i) {
        if (box->itemText(i) == text)
            found = i;
    }
    box->setCurrentIndex(found);
}

} // namespace

Inputsetting::Inputsetting(QWidget* parent) : QWidget(parent), m_ui(new Ui::Inputsetting)
{
    m_ui->setupUi(this);
    DragFrame::makeDraggable(this);
    DragFrame::closeOnEscape(this);
    setWindowModality(Qt::ApplicationModal);
    DragFrame::initFrame(this, m_ui->lab_Ico, m_ui->btnMenu_Close);
    setWindowFlags(windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    initControls();
    // Placed at the size it is shown at. The style sheet and the 11-point captions widen the window
    // past the form's size only as it is polished; a window resized between its creation and its
    // mapping has its place read back by Qt while the window manager frames it, when the frame may
    // still stand at the screen's corner: Qt then takes that corner for the window's place, so its
    // lists open that far from their boxes and its first drag jumps.
    ensurePolished();
    resize(size().expandedTo(minimumSizeHint()));
    DragFrame::centreOnDesktop(this);
}

Inputsetting::~Inputsetting() = default;

void Inputsetting::initControls()
{
    connect(m_ui->btnJiben, &QPushButton::clicked, this, &Inputsetting::changeStatus);
    connect(m_ui->btnGaoji, &QPushButton::clicked, this, &Inputsetting::changeStatus);
    showPage(true);

    QStringList tables = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/mb"))
                             .entryList({QStringLiteral("*.txt")}, QDir::AllEntries | QDir::NoDotAndDotDot,
                                        QDir::Name | QDir::IgnoreCase);
    for (QString& name : tables)
        name.remove(QStringLiteral(".txt"));
    m_ui->mabiao->addItems(tables);

    // A short pause with the event loop running, so the window's first paint is not held up.
    const QDeadlineTimer deadline(300);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);

    m_ui->opensrf->setOnOff(App::Opensrf);
    m_ui->zchongfu->setOnOff(App::Zchongfu);
    m_ui->tishi->setOnOff(App::Tishi);
    m_ui->onlye->setChecked(App::Onlye);
    m_ui->dingzi->setOnOff(App::Dingzi);
    m_ui->fyxc->setOnOff(App::Fyxc);
    m_ui->zdmc->setText(App::Zdmc);
    m_ui->dpmc->setText(App::Dpmc);
    m_ui->qpmc->setText(App::Qpmc);
    selectItem(m_ui->hcaction, App::Hcaction);
    selectItem(m_ui->kgaction, App::Kgaction);
    selectItem(m_ui->position, App::Position);
    selectItem(m_ui->hxnum, App::Hxnum);
    selectItem(m_ui->mabiao, App::Mabiao);
}

void Inputsetting::changeText()
{
    m_ui->btnJiben->setText(QStringLiteral("基本设置"));
    m_ui->btnGaoji->setText(QStringLiteral("高级设置"));
}

void Inputsetting::changeVisible()
{
    m_ui->jiben->setVisible(false);
    m_ui->gaoji->setVisible(false);
}

void Inputsetting::showPage(bool basic)
{
    changeText();
    changeVisible();
    if (basic) {
        m_ui->btnJiben->setText(QStringLiteral("【基本设置】→"));
        m_ui->jiben->setVisible(true);
    } else {
        m_ui->btnGaoji->setText(QStringLiteral("【高级设置】→"));
        m_ui->gaoji->setVisible(true);
    }
}

void Inputsetting::changeStatus()
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("btnJiben"))
        showPage(true);
    else if (name == QLatin1String("btnGaoji"))
        showPage(false);
}

void Inputsetting::on_btnOk_clicked()
{
    App::Opensrf = m_ui->opensrf->switchedOn;
    App::Zchongfu = m_ui->zchongfu->switchedOn;
    App::Tishi = m_ui->tishi->switchedOn;
    App::Onlye = m_ui->onlye->isChecked();
    App::Dingzi = m_ui->dingzi->switchedOn;
    App::Fyxc = m_ui->fyxc->switchedOn;
    App::Zdmc = m_ui->zdmc->text();
    App::Dpmc = m_ui->dpmc->text();
    App::Qpmc = m_ui->qpmc->text();
    App::Hcaction = m_ui->hcaction->currentText();
    App::Kgaction = m_ui->kgaction->currentText();
    App::Position = m_ui->position->currentText();
    App::Hxnum = m_ui->hxnum->currentText();
    App::Mabiao = m_ui->mabiao->currentText();
    App::writeConfig();
    emit input();
    close();
}

void Inputsetting::on_btnMoren_clicked()
{
    m_ui->opensrf->setOnOff(false);
    m_ui->zchongfu->setOnOff(true);
    m_ui->tishi->setOnOff(false);
    m_ui->onlye->setChecked(false);
    m_ui->dingzi->setOnOff(true);
    m_ui->fyxc->setOnOff(true);
    m_ui->zdmc->setText(QStringLiteral("4"));
    m_ui->dpmc->setText(QStringLiteral("4"));
    m_ui->qpmc->setText(QStringLiteral("4"));
    m_ui->hcaction->setCurrentIndex(0);
    m_ui->kgaction->setCurrentIndex(1);
    m_ui->position->setCurrentIndex(0);
    m_ui->hxnum->setCurrentIndex(9);
    selectItem(m_ui->mabiao, App::Mabiao);
}

void Inputsetting::on_mabiao_activated(const QString& name)
{
    App::Mabiao = name;
    App::writeConfig();
}

