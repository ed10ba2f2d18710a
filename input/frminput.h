#ifndef TAVREL_INPUT_FRMINPUT_H
#define TAVREL_INPUT_FRMINPUT_H

#include "input/core/candidates.h"
#include "input/core/codetable.h"

#include <QLabel>
#include <QPointer>
#include <QScopedPointer>
#include <QSystemTrayIcon>
#include <QWidget>

class QAction;
class QMenu;
class QPushButton;
class QKeyEvent;
class QTextEdit;
class Inputsetting;

namespace Ui {
class frmInput;
}

// The input-method panel: a frameless tool window of soft keys that types Chinese from a code
// table into the main window's typing pane. One per process (Instance()); it floats above the
// pane without taking the focus, attaches when the pane gains the focus and detaches when another
// widget does. The lookup, paging and automatic rules are the CandidateEngine's; the panel shows
// its state and feeds it keys.
class frmInput : public QWidget
{
    Q_OBJECT

public:
    static frmInput* self;
    static frmInput* Instance();

    explicit frmInput(QWidget* parent = nullptr);
    ~frmInput() override;

    // Set by the openers: placement when following the focus ("control", "center", "bottom"),
    // the colour scheme applyStyle() looks up, and the point size of its style sheet.
    QString positionMode;
    QString styleName;
    int fontSize = 10;

    void applyStyle();

    // Opens the code table named by App::Mabiao.
    void init();
    void clearChinese();

    void insertValue(const QString& text);
    void deleteValue();
    void setChinese(int index);

    void changeType(const QString& mode);
    void changeLetter(bool upper);
    // Attaches to the typing pane, and shows, when the pane has the focus already.
    void takeFocusedPane();

    // Showing, and every change of size while shown, keep the panel whole on the screen it
    // stands on; it returns towards where it stood when it narrows again.
    void setVisible(bool visible) override;

public slots:
    void inputsetting();
    void inputRecv();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void focusChanged(QWidget* oldWidget, QWidget* nowWidget);
    void btn_clicked();
    void changeStyle(const QString& topColor, const QString& bottomColor, const QString& borderColor,
                     const QString& textColor);
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void slotExitActionTrigger();
    void menu1ActionClick(QAction* action);

private:
    void initProperty();
    void initForm();
    void initMenu();
    // Reads the input settings into the engine; they may change between any two keys.
    void syncSettings();
    // Shows the engine's code and candidates.
    void render();
    bool attached() const { return !m_target.isNull(); }
    bool targetWritable() const;
    // What a focus change to `nowWidget` does: attach or detach, show or hide, and place.
    void follow(QWidget* nowWidget);
    void placeBeside(QWidget* widget);
    // Shortens the longest candidate labels with "…" where the panel would pass the screen's width.
    void fitLabelsToScreen();
    static QRect keptOnScreen(QRect place);

    // Dispatch of the soft keys and of physical keys.
    void dispatch(QPushButton* key);
    void typingKey(QPushButton* key);
    QString keyText(const QPushButton* key) const;
    bool physicalKey(QKeyEvent* event);
    bool chinesePunctuation(const QString& text);
    QPushButton* keyByCaption(const QString& caption) const;
    QPushButton* key(const QString& name) const;

    const QScopedPointer<Ui::frmInput> m_ui;
    CodeTable m_table;
    CandidateEngine m_engine;
    QList<QLabel*> m_candidateLabels;

    QString m_inputMode = QStringLiteral("chinese");
    bool m_quoteOpen = false;
    bool m_firstFocus = true;
    // The typing pane while attached; it is the main window's, so the pointer may go stale.
    QPointer<QTextEdit> m_target;

    QMenu* m_trayMenu = nullptr;
    QMenu* m_codeTableMenu = nullptr;
    QStringList m_codeTableNames;
    QSystemTrayIcon* m_trayIcon = nullptr;
    bool m_trayShown = false;
    QPointer<Inputsetting> m_settingWindow;

    int m_deskWidth = 0;
    int m_deskHeight = 0;
    int m_frmWidth = 610;
    int m_frmHeight = 210;
    // The candidates as the engine gave them; the labels may show them shortened.
    QStringList m_labelTexts;
    // Where the panel was put (dragged, or placed by its rule); it stands there whenever its size
    // lets it stay whole on the screen.
    QPoint m_home;
    QPoint m_mousePoint;
    bool m_mousePressed = false;
    bool m_dragMoved = false;
};

#endif
