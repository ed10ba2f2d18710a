#ifndef TAVREL_SETTING_H
#define TAVREL_SETTING_H

#include <QPoint>
#include <QScopedPointer>
#include <QWidget>

#include <functional>

class QCloseEvent;
class QLineEdit;

namespace Ui {
class Setting;
}

// The settings window: five pages of controls over the configuration globals. OK stores them all,
// writes the file and emits `setting`; the window refuses to close while the stored hot keys
// conflict.
class Setting : public QWidget
{
    Q_OBJECT
public:
    explicit Setting(QWidget* parent = nullptr);
    ~Setting() override;

    // A new window for each opening, destroyed when it closes; `onSetting` runs on every OK while
    // `context` lives.
    static Setting* showNew(QObject* context, std::function<void()> onSetting);

signals:
    void setting();

private slots:
    void changeText();
    void changeVisible();
    void changeStatus();
    void on_btnOk_clicked();
    void on_btnMoren_clicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void initStyle();
    void initForm();
    bool checkHotKeyConflict() const;
    // Puts one configuration value into the control of its key, or reads it back.
    void showValue(const QString& key, const QVariant& value);
    QVariant controlValue(const QString& key) const;
    QLineEdit* hotKeyField(const QString& key) const;
    // The hot-key fields grow, and the window with them, so each shows its whole key while the
    // screen has room; a longer key scrolls in its field.
    void fitHotKeys();

    const QScopedPointer<Ui::Setting> m_ui;
    // The window's width beside its pages, as designed: the window widens with them.
    int m_besidePages = 0;
};

#endif
