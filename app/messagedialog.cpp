#include "app/messagedialog.h"

#include <QLabel>

MessageDialog::MessageDialog(QWidget* parent) : FramelessDialog(parent) {}

void MessageDialog::showMessage(QLabel* labInfo, const QLabel* labTitle, const QString& msg, Qt::TextFormat format)
{
    labInfo->setOpenExternalLinks(true);
    labInfo->setTextFormat(format);
    labInfo->setText(msg);
    setWindowTitle(labTitle->text());
    fitToText(labInfo);
}

void MessageDialog::on_btnOk_clicked()
{
    done(1);
    close();
}
