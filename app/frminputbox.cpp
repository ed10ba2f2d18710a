#include "app/frminputbox.h"

#include "ui_frminputbox.h"

frmInputBox::frmInputBox(QWidget* parent) : FramelessDialog(parent), ui(new Ui::frmInputBox)
{
    ui->setupUi(this);
    initStyle();
}

frmInputBox::~frmInputBox() = default;

void frmInputBox::initStyle()
{
    initFrame(ui->lab_Ico, ui->btnMenu_Close, ui->btnCancel);
}

void frmInputBox::SetMessage(const QString& msg)
{
    ui->labInfo->setText(msg);
    fitToText(ui->labInfo);
    ui->lab_Title->setText(QStringLiteral("是否保存当前内容？"));
    ui->btnOk->setText(QStringLiteral("是(&Y)"));
    ui->btnCancel->setText(QStringLiteral("否(&N)"));
}

void frmInputBox::on_btnOk_clicked()
{
    value = ui->txtValue->text();
    done(1);
    close();
}
