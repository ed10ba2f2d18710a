#ifndef TAVREL_SENDING_FWSTATE_H
#define TAVREL_SENDING_FWSTATE_H

#include <QPoint>
#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class Fwstate;
}

// The sending-state panel "发文状态": beside the main window, the text being sent, the current
// segment, the characters sent and left and the progress; its one command stops cutting segments.
// App::FwstateOpen is true exactly while a panel exists.
class Fwstate : public QWidget
{
    Q_OBJECT

public:
    explicit Fwstate(QWidget* parent = nullptr);
    ~Fwstate() override;

    // The form's size: its fields stand at fixed places. It shows narrower only where it has to.
    QSize sizeHint() const override { return m_formSize; }

signals:
    // "停止发文": the cycle goes on without a segment length; the panel has closed itself.
    void stopRequested();

public slots:
    void recvstate(const QString& title, const QString& header, const QString& fullText, const QString& sentSoFar);
    // Follows the main window: beside it, on its left by rule, and off the speed curve (SidePlaces).
    void recvzbgb(const int& x, const int& y);

private slots:
    void on_button_clicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const QScopedPointer<Ui::Fwstate> m_ui;
    QSize m_formSize;
};

#endif
