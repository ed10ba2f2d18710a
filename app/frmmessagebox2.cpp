#include "app/frmmessagebox2.h"

#include "app/core/app.h"
#include "ui_frmmessagebox2.h"

frmMessageBox2::frmMessageBox2(QWidget* parent) : MessageDialog(parent), ui(new Ui::frmMessageBox2)
{
    ui->setupUi(this);
    initForm();
}

frmMessageBox2::~frmMessageBox2() = default;

void frmMessageBox2::initForm()
{
    initFrame(ui->lab_Ico, ui->btnMenu_Close, ui->btnCancel);
}

void frmMessageBox2::SetMessage(const QString& msg, int type, Qt::TextFormat format)
{
    ui->checkBox->setVisible(false);
    ui->checkBox->setChecked(App::Uploadcj);
    switch (type) {
    case 0:
        ui->btnOk->setText(QStringLiteral("是(&Y)"));
        ui->btnCancel->setText(QStringLiteral("否(&N)"));
        ui->lab_Title->setText(QStringLiteral("成绩（是否发送成绩？）"));
        ui->checkBox->setVisible(true);
        // Wider for the result line; the corner stays where centring put it.
        resize(500, 200);
        break;
    case 1:
        ui->btnOk->setText(QStringLiteral("赞助(&O)"));
        ui->lab_Title->setText(QStringLiteral("您的鼓励是作者最大的动力"));
        break;
    case 2:
        ui->btnCancel->setVisible(false);
        ui->lab_Title->setText(QStringLiteral("下载地址"));
        break;
    case 3:
        ui->btnCancel->setVisible(false);
        ui->lab_Title->setText(QStringLiteral("关于Tavrel跟打器"));
        break;
    case 4:
        ui->btnCancel->setVisible(false);
        ui->lab_Title->setText(QStringLiteral("提示"));
        break;
    default:
        break;
    }
    showMessage(ui->labInfo, ui->lab_Title, msg, format);
}

// Saved at once: the upload choice holds whether or not the result is then sent.
void frmMessageBox2::on_checkBox_clicked(bool checked)
{
    App::Uploadcj = checked;
    App::writeConfig();
}
