#ifndef TAVREL_FRMMAIN_H
#define TAVREL_FRMMAIN_H

#include <QDialog>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>
#include <QTime>

class QAction;
class QContextMenuEvent;
class QFont;
class QLabel;
class QMenuBar;
class QProgressBar;
class QPropertyAnimation;
class QSplitter;
class QStandardItemModel;
class QStatusBar;
class QTableView;
class QThread;
class QTimer;
class Ui_frmMain;

// The typing trainer's main window: reference pane over typing pane, result buttons and table,
// progress bar and status labels, with the 10 ms run clock living in a thread of its own.
// The implementation is split by topic over the frmmain_*.cpp files.
class frmMain : public QDialog
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The help line of the configured hot keys, as laid out as the first passage.
    static QString hotKeyHelpText();

    // True from the emission of DoStartTimer until the next DoStopTimer, read on the GUI thread.
    // Unlike the timer's own active state it cannot lag behind a stop that is still queued.
    bool clockRunning() const { return m_clockRunning; }

    void setVisible(bool visible) override;

signals:
    void DoStartTimer();
    void DoStopTimer();
    void infoqx(const QString& speeds);
    void zbgb(const int& x, const int& y);
    void state(const QString& a, const QString& b, const QString& c, const QString& d);

public slots:
    // ---- Sending cycle and speed curve ----
    void infoRecv(int segSize, QString name, QString text, QString first, QString notice);
    void showFawen();
    void recvQuit(QString message);

    // ---- Passage loading and paging ----
    void do_cursorChanged();

    // ---- Menus, settings and hot keys ----
    void settingRecv();
    void activated();

    // ---- Account ----
    void loginRecv(QString message);

    void showSetting();
    void openSlot();
    void fontSlot();

    // ---- Built-in texts ----
    void qwSlot();
    void zwSlot();
    void hwSlot();
    void ywSlot();

    // ---- Chat window, capture and sending ----
    void cjSlot();
    void shSlot();
    void fxSlot();
    void tzSlot();

    // ---- Small commands ----
    void xzSlot();
    void qqSlot();
    void tbSlot();
    void aboutSlot();
    void lxSlot();

    // ---- Typing record ----
    void qkSlot();
    void jlSlot();
    void uploadcjSlot();
    void zdSlot();

    // ---- Clipboard and collections ----
    void getClipboard();
    void qcSlot();

    // ---- Comparison and colouring ----
    void richslot();
    void wrongtest();

    void sxSlot();

    // ---- Typing modes ----
    void gdSlot();
    void zySlot();
    void mdSlot();

    // ---- Result table ----
    void clearResult();

    void setMaxLength();

    // ---- Title-bar buttons ----
    void on_btnMenu_Max_clicked();
    void on_btnMenu_Min_clicked();

    // ---- Run clock and run control ----
    void TimeSlot();
    void Start();
    void Stop();
    void Reset();
    void hqSlot();
    void pauseSlot();
    void bossSlot();
    void checkSlot();
    void StyleSlot();
    void contextMenuEvent(QContextMenuEvent* event) override;

    // ---- Code hints ----
    void spellFun();
    void getfirstbmts();

    // ---- Result figures ----
    void chengji();

    // ---- Tray ----
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void slotExitActionTrigger();

    // ---- End of a run ----
    void slotDelay();
    void slotDelay2();
    void autotd();

    // ---- More commands ----
    void fuwSlot();
    void rankSlot();
    void loginSlot();
    void regSlot();
    void zanzhuSlot();
    void bmcxSlot();
    void cftjSlot();
    void inputSlot();
    void mcSlot();
    void showSlot();
    void saveSlot();
    bool closeWidget();
    void menu1ActionClick(QAction* action);
    void qmenuActionClick(QAction* action);

    // ---- Colours and appearance ----
    void dbjSlot();
    void gbjSlot();
    void cbjSlot();
    void ygczSlot();
    void rcSlot();
    void wcSlot();
    void NormalSlot();
    void HideSlot();
    void shortcutSlot();
    void ztcdSlot();
    void ztcgSlot();
    void on_button6_clicked();

    // ---- Passage capture from the chat window ----
    void zdzwSlot();
    void sdzwSlot();
    void getWaySlot();
    void getHwnd();

    void BottomChange2();
    void qtimeSlot();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class TestMainWindow;

    // ---- Construction (frmmain.cpp) ----
    void initVariables();
    QString getVersion();
    void fetchPublicIp(int timeoutMs);
    void initTimers();
    void initForm();
    void initStyle();
    void setSizeLimits();
    void setPaneFont(const QFont& font);

    // ---- Run clock (frmmain_clock.cpp) ----
    static QString padZero(int value);
    void stopClockThread();

    // ---- Placeholders for later work (frmmain_placeholders.cpp) ----
    void openCodeFile();
    void openCodeFile2();
    void checkRememberedLogin();
    void resetCounters();
    void resetDisplay();
    void getfromSql();
    void loadWrongChars();
    void loadSlowChars();
    void applyColours();
    void initMenus();
    void loadArticle(QString text);
    void initTrayMenu();
    void updateStatus(QString minutesText, QString secondsText, QString centisText, QString ticksText);
    void jltoSql();

    // ---- Members shared by the window's topics ----
    Ui_frmMain* ui = nullptr;
    QString lastInputText;
    QString speedHistory;
    QString speedHistory2;
    QString keyRateHistory;
    QString codeLenHistory;
    int wrongScanLength = 0;
    int slowScanLength = 0;
    int passageLength = 0;
    int pageNumber = 0;
    int typedCount = 0;
    int wrongCount = 0;
    int wrongBeforePage = 0;
    int countedChars = 0;
    QString remainingText;
    QString passage;
    QString pageWrongChars;
    int resultRow = 0;
    int retypeCount = 0;
    int lastCommitLength = 0;
    int wordChars = 0;
    int mode = 0; // copy of App::Pattern: 0 follow, 1 free, 2 blind
    int pageWrong = 0;
    QString wrongRefChars;
    QString wrongTypedChars;
    int endTickCount = 0;
    double finalSpeed = 0;
    double finalKeyRate = 0;
    double finalCodeLength = 0;
    QString typedAll;
    bool blindEnd = false;
    bool finished = false;
    QString clockMinutesText;
    QString clockSecondsText;
    QString clockCentisText;
    QString clockTicksText;
    QSystemTrayIcon* trayIcon = nullptr;
    int minutes = 0;
    int seconds = 0;
    int centis = 0;
    int ticks = 0;
    QTimer* clockTimer = nullptr;
    QTimer* secondTimer = nullptr;
    QPoint dragOffset;
    bool dragging = false;
    bool maximised = false;
    QTableView* resultView = nullptr;
    QStandardItemModel* resultModel = nullptr;
    QThread* clockThread = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* labChat = nullptr;
    QLabel* labSegment = nullptr;
    QLabel* labTitle = nullptr;
    QLabel* labCount = nullptr;
    QLabel* labProgress = nullptr;
    QLabel* labCodeHint = nullptr;
    QLabel* labRecord = nullptr;
    QTime lastGrowthTime; // invalid until the typing pane first grows
    QString markerSpace;
    QString markerLess;
    QString markerPool;
    int markerTries = 0;
    QString chatLabelText;
    QString segmentHeader;
    QString textTitle;
    QString uncountedChars;
    bool firstEventSeen = false;
    QString latestVersionTitle;
    bool paused = false;

    // ---- Frame state of our own ----
    bool m_clockRunning = false;
    // The collections as loaded, so closing writes exactly those that changed, even when emptied.
    QString m_loadedWrongChars;
    QString m_loadedSlowChars;
    QMenuBar* m_menuBar = nullptr; // filled by the menu set-up
    QString m_bodyStyle;           // the body's own style-sheet declarations, as the form sets them
    QStatusBar* m_statusBar = nullptr;
    QSplitter* m_splitter = nullptr;
    QPropertyAnimation* m_fadeIn = nullptr;
};

#endif
