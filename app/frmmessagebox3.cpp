#include "app/frmmessagebox3.h"

#include "ui_frmmessagebox3.h"

#include <QPainter>
#include <QPixmap>

frmMessageBox3::frmMessageBox3(QWidget* parent) : FramelessDialog(parent), ui(new Ui::frmMessageBox3)
{
    ui->setupUi(this);
    initForm();
}

frmMessageBox3::~frmMessageBox3() = default;

void frmMessageBox3::initForm()
{
    initFrame(ui->lab_Ico, ui->btnMenu_Close);
}

void frmMessageBox3::SetMessage(const QString& msg, int type)
{
    if (type == 0)
        ui->lab_Title->setText(QStringLiteral("扫描二维码完成赞助(感谢支持！)"));
    ui->labInfo->setOpenExternalLinks(true);
    ui->labInfo->setText(msg);
    setWindowTitle(ui->lab_Title->text());
    fitToText(ui->labInfo);
}

void frmMessageBox3::paintEvent(QPaintEvent* event)
{
    FramelessDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(QRect(40, 40, 248, 245), QPixmap(QStringLiteral(":/image/zanzhu.png")));
}
