#include "app/frmmessagebox.h"

#include "ui_frmmessagebox.h"

frmMessageBox::frmMessageBox(QWidget* parent) : MessageDialog(parent), ui(new Ui::frmMessageBox)
{
    ui->setupUi(this);
    initForm();
}

frmMessageBox::~frmMessageBox() = default;

void frmMessageBox::initForm()
{
    initFrame(ui->lab_Ico, ui->btnMenu_Close, ui->btnCancel);
}

void frmMessageBox::SetMessage(const QString& msg, int type, Qt::TextFormat format)
{
    switch (type) {
    case 0:
        ui->labIcoMain->setStyleSheet(QStringLiteral("border-image: url(:/image/info.png);"));
        ui->btnCancel->setVisible(false);
        ui->lab_Title->setText(QStringLiteral("提示"));
        break;
    case 1:
        ui->labIcoMain->setStyleSheet(QStringLiteral("border-image: url(:/image/question.png);"));
        ui->btnOk->setText(QStringLiteral("是(&Y)"));
        ui->btnCancel->setText(QStringLiteral("否(&N)"));
        ui->lab_Title->setText(QStringLiteral("询问"));
        break;
    case 2:
        ui->labIcoMain->setStyleSheet(QStringLiteral("border-image: url(:/image/error.png);"));
        ui->btnCancel->setVisible(false);
        ui->lab_Title->setText(QStringLiteral("错误"));
        break;
    default:
        // An unknown type keeps the form as built: info picture, OK and cancel.
        ui->btnCancel->setVisible(true);
        ui->btnCancel->setText(QStringLiteral("取消(&C)"));
        break;
    }
    showMessage(ui->labInfo, ui->lab_Title, msg, format);
}
