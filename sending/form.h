#ifndef TAVREL_SENDING_FORM_H
#define TAVREL_SENDING_FORM_H

#include "app/core/progressstore.h"
#include "sending/core/sourcetexts.h"

#include <QPoint>
#include <QScopedPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace Ui {
class Form;
}

// The text-sending window "发文": the user picks a source text (clipboard, the two collections, a
// progress text, a local article, a server text), previews and prepares it, sets the characters per
// send and the automatic sending, and hands it to the main window with infoSend. Every setting is
// saved when it changes. The window deletes itself when closed.
class Form : public QWidget
{
    Q_OBJECT

public:
    // Articles and progress texts are listed and read from baseFolder's "文章" and "跟打进度"
    // (empty: the program's folder).
    explicit Form(QWidget* parent = nullptr, const QString& baseFolder = QString());
    ~Form() override;

signals:
    void infoSend(const int& segLength, const QString& name, const QString& fullText, const QString& part,
                  const QString& notice);

private slots:
    void copySlot();
    void qcSlot();
    void fhSlot();
    void qw();
    void itemSlot();
    void count();
    void random();
    void emit_signal_infosend();
    void checkSlot(bool on);
    void dlSlot(bool on);
    void autoSlot(const QString& metric);
    void autoSlot2(double value);
    void autoSlot3(const QString& action);
    void zdSlot(const QString& name);
    void fwSlot(const QString& mode);
    void fwSlot(int seconds);
    void uploadSlot();

private:
    void buildBody();
    void connectControls();
    void initStyle();
    void updateAutoControls();
    void setProgressView(bool on);
    void showSourceText(const QString& text);
    QString currentName() const;
    bool editableSource() const;
    void loadCollection(bool wrong);
    bool loadArticle(int index);
    void loadServerText(const QString& name, bool serverEntry);
    void loadProgressText();
    void showProgressFigure();
    void info(const QString& text, int type);

    const QScopedPointer<Ui::Form> m_ui;
    QString m_articleFolder;
    ProgressStore m_progress;
    QVector<ListedText> m_articles;
    QStringList m_progressNames;
    QString m_notice;

    QListWidget* m_listSource = nullptr;
    QPlainTextEdit* m_txtPreview = nullptr;
    QLabel* m_labCount = nullptr;
    QCheckBox* m_ckDl = nullptr;
    QComboBox* m_comboFw = nullptr;
    QSpinBox* m_spinFwtime = nullptr;
    QLabel* m_labFwtime = nullptr;
    QSpinBox* m_spinLength = nullptr;
    QCheckBox* m_ckZdhd = nullptr;
    QComboBox* m_comboZdhd2 = nullptr;
    QLabel* m_labOver = nullptr;
    QDoubleSpinBox* m_spinZdhd = nullptr;
    QLabel* m_labZdhd = nullptr;
    QLabel* m_labElse = nullptr;
    QComboBox* m_comboZdhd5 = nullptr;
    QLabel* m_labProgress = nullptr;
    QComboBox* m_comboProgress = nullptr;
    QPushButton* m_btnUpload = nullptr;
    QPushButton* m_btnSend = nullptr;
};

#endif
