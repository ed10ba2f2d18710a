#ifndef TAVREL_MESSAGEDIALOG_H
#define TAVREL_MESSAGEDIALOG_H

#include "app/dragframe.h"

class QLabel;

// What frmMessageBox and frmMessageBox2 share beyond the frame: a message label that shows all of
// its text under the form's title, and btnOk, which ends exec() with 1 whatever its caption.
class MessageDialog : public FramelessDialog
{
    Q_OBJECT
protected:
    explicit MessageDialog(QWidget* parent = nullptr);

    // Text from other people (titles, names) goes in as Qt::PlainText so that it cannot turn into
    // markup; Qt::AutoText lets the label detect rich text. Links open in the browser, and the window
    // takes the text of `labTitle` as its title.
    void showMessage(QLabel* labInfo, const QLabel* labTitle, const QString& msg, Qt::TextFormat format);

private slots:
    // Connected by name when the derived box builds its form.
    void on_btnOk_clicked();
};

#endif
