#ifndef TAVREL_INPUT_BMCX_H
#define TAVREL_INPUT_BMCX_H

#include "app/dragframe.h"

#include <QRect>
#include <QScopedPointer>

namespace Ui {
class bmcx;
}

// The code look-up window: annotates a text with the codes of a chosen code file, as codes alone
// or as text plus code, ready to be copied.
class bmcx : public FramelessDialog
{
    Q_OBJECT
public:
    explicit bmcx(QWidget* parent = nullptr);
    ~bmcx() override;

    // The main window's opener: a new window without a parent, shown, released when closed.
    static void showNew();

private slots:
    void on_btnMenu_Max_clicked();
    void on_btnMenu_Min_clicked();
    void on_mabiao_activated(const QString& text);
    void on_search_clicked();
    void on_paste_clicked();
    void on_copy_clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool canDrag() const override { return !m_max; }

private:
    void init();
    void initStyle();
    QString codeFilePath() const;

    const QScopedPointer<Ui::bmcx> m_ui;
    bool m_max = false;
    QRect m_location;
};

#endif
