#ifndef TAVREL_INPUT_CFTJ_H
#define TAVREL_INPUT_CFTJ_H

#include <QPoint>
#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class cftj;
}
class CfLookup;

// The decomposition picture window: one character's code in the chosen edition's code file and
// the picture of how it is split, from the edition's local library or from the web.
class cftj : public QWidget
{
    Q_OBJECT
public:
    explicit cftj(QWidget* parent = nullptr);
    ~cftj() override;

    // The main window's opener: a new window without a parent, shown, released when closed.
    static void showNew();

private slots:
    void on_comboBox_activated(const QString& text);
    void on_lineEdit_textChanged(const QString& text);

private:
    void initForm();
    void clearResult();
    void showbm();
    void showcf();
    bool showPicture(const QByteArray& data, const char* format);
    void askDownload();

    const QScopedPointer<Ui::cftj> m_ui;
    CfLookup* m_lookup = nullptr;
    QString m_character;
    QString m_downloadPage;
};

#endif
