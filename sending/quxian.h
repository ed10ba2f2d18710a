#ifndef TAVREL_SENDING_QUXIAN_H
#define TAVREL_SENDING_QUXIAN_H

#include <QColor>
#include <QPoint>
#include <QScopedPointer>
#include <QWidget>

class QCPItemText;
class QCustomPlot;

namespace Ui {
class quxian;
}

// The speed-curve window "曲线图": the speed samples of the last run over its ticks, beside the
// main window. Deleted when closed, after it has said so with sendQuit("child").
class quxian : public QWidget
{
    Q_OBJECT

public:
    explicit quxian(QWidget* parent = nullptr);
    ~quxian() override;

    QCustomPlot* plot() const;

signals:
    void sendQuit(const QString& name);

public slots:
    // A filtered speed history: one whole-number sample and one blank each.
    void recvqx(const QString& speeds);
    // Follows the main window: beside it, on its right by rule, and off the sending-state panel
    // (SidePlaces).
    void recvzbgb(const int& x, const int& y);
    void LoadPlot();

private slots:
    void on_ckXGrid_stateChanged(int state);
    void on_ckYGrid_stateChanged(int state);
    void on_ckText_stateChanged(int state);
    void on_ckBackground_stateChanged(int state);
    void on_ckMove_stateChanged(int state);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void initForm();
    void initPlot();
    void initGraph();
    void fitAxes();

    const QScopedPointer<Ui::quxian> m_ui;
    QString m_speeds;
    int m_itemCount = 1000;
    QCPItemText* m_title = nullptr; // the y axis's title across the top, where it has no room along the axis
    int m_acrossTop = 0;            // the top margin that title takes
};

#endif
