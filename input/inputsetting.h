#ifndef TAVREL_INPUT_INPUTSETTING_H
#define TAVREL_INPUT_INPUTSETTING_H

#include <QPoint>
#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class Inputsetting;
}

// The window "输入法设置": the input panel's options on a basic and an advanced page. OK stores
// them all and emits input(); a code table picked in its list is stored at once.
class Inputsetting : public QWidget
{
    Q_OBJECT

public:
    explicit Inputsetting(QWidget* parent = nullptr);
    ~Inputsetting() override;

signals:
    void input();

private slots:
    void changeText();
    void changeVisible();
    void changeStatus();
    void on_btnOk_clicked();
    void on_btnMoren_clicked();
    void on_mabiao_activated(const QString& name);

private:
    void initControls();
    void showPage(bool basic);
    // The control of a setting and the value it shows, by the setting's key.
    QWidget* control(const QString& key) const;
    void showValue(const QString& key, const QVariant& value);
    QVariant controlValue(const QString& key) const;

    const QScopedPointer<Ui::Inputsetting> m_ui;
};

#endif
