#ifndef TAVREL_FRMMAIN_H
#define TAVREL_FRMMAIN_H

#include <QDialog>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>
#include <QTime>

#include "typing/core/codefile.h"
#include "typing/core/comparison.h"
#include "typing/core/record.h"

class QAction;
class QActionGroup;
class QContextMenuEvent;
class QFont;
class QLabel;
class QMenu;
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
class AccountPart;
class MyGlobalShortCut;
enum class BuiltinDrill;
struct ResultHistories;
struct RunInputs;
struct RunResult;

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

    // ---- Chat window ----
    // Binding, the group menu, the posting sequence and the capture live in frmmain_chat.cpp; the
    // result branch at the end of a run in frmmain_results.cpp.
    friend class TestChat;
    friend class TestChatX11;

    // What the end of a run posts and decides on, copied once its figures are final, so that a
    // retype or a new passage during the chain's waits changes nothing that is posted.
    struct FinishedRun
    {
        QString line;      // the result line, as the chain put it on the clipboard
        QString shortLine; // the pop-up's form
        QString passage;
        double speed = 0.0;   // speedText as a number
        double keyRate = 0.0; // cell 1 as a number
        QString wrongCell;    // cell 14
        int wrongCount = 0;
        bool wholeText = false;
        bool finished = false;
    };
    // One chat operation waiting for the one before it to finish its waits.
    struct ChatOperation
    {
        enum Kind { Post, Capture, ParseClipboard };
        Kind kind = Post;
        QString text; // a post's message, fixed when the post was asked for
    };

    // Takes over the group menu: "刷新", "潜水", a separator and one entry per chat title.
    void fillChatMenu(QMenu* menu);
    void rebuildChatMenu();
    void enumerateWindows();
    bool chatWindowUsable(bool lurkTest) const;
    void minimizeChatWindow();
    void autoSendResult(const FinishedRun& run);
    void autoSendResultIfAllowed(const FinishedRun& run);
    void sendResultAndNext(const FinishedRun& run);
    void runChatOperation(const ChatOperation& operation);
    bool postNow(const QString& text);
    bool bringChatForward(quintptr chat, const QString& failure);
    bool chatStillInFront(quintptr chat, const QString& failure);
    bool chatRectangles(quintptr chat, QRect* frame, QRect* client, bool* settled);
    void afterSend(quintptr chat);
    bool captureNow();
    bool parseClipboardNow();
    // The window's one wait: events are served for ms, false if the application quits meanwhile.
    bool chatWait(int ms);
    FinishedRun takeFinishedRun() const;
    bool runStillShown(const FinishedRun& run) const;
    bool askToSendResult(const QString& text);
    void quietUpload(const FinishedRun& run);
    void automaticNextStep(const FinishedRun& run);
    // Owned by later work (frmmain_placeholders.cpp): the ranking upload, and the sending cycle's
    // step after a posted result.
    void tryUpload(int manual);
    void loadNextSegmentAfterResult(bool runFinished);

    int chatIndex = 0;
    // Set and used by the sending cycle; read here: no cycle runs, the text being sent.
    bool sendStopped = true;
    QString fullText;
    QMenu* m_chatMenu = nullptr;
    QAction* m_chatRefreshAction = nullptr;
    QVector<ChatOperation> m_chatQueue;
    bool m_chatBusy = false;

    // ---- Typing run (paging, comparison, key statistics) ----
    // Loading, paging and the per-change pass live in frmmain_typing.cpp; the typing pane's event
    // filter and the counter reset in frmmain_keys.cpp.
    friend class TestTyping;
    friend class TestTypingX11;
    friend class TypingBench;
    void reloadText();
    void prepareRun();
    void refreshBottomInfo();
    void showTitleMessage(QString message, int ms);
    void appendTypedSlice();
    void fillCompareRow();
    void onTextChanged();
    void setUpTypingPanes();
    void typedChange(const QString& typed);
    void notePlainInsertion(int length);
    void scanCollections(const PageComparison& page);
    void showReferencePage();
    void paintReference(bool whole);
    void setTypingText(const QString& text, int cursor);
    // Cuts the typing pane back to the page's length (setMaxLength) and returns its text as left.
    QString fitTypingPane();
    void syncRunMembers();
    void setTitleText(const QString& text);
    void setTypingStyle(const QString& style);
    bool typingPaneKey(QEvent* event, int paneLength);
    bool runReturnHotKey();
    bool refusePaste(QEvent* event);
    void saveWindowSize();
    void flushRecordSave();

    PassageRun m_run;
    // Saves the record's growth while typing at most once a second instead of on every keystroke;
    // flushed at the end of a run and on closing.
    QTimer* m_recordSaveTimer = nullptr;
    CharCollector m_collector;
    // The display state painted on each reference position, so a change repaints only what moved.
    QVector<quint8> m_paintedStates;
    bool m_panesSetUp = false;
    bool m_inTypedChange = false;
    // Key and input-method events seen on the typing pane, and that count at the last change: a
    // change with no event in between (the own input-method panel inserts plain text) takes its
    // commit from the growth of the pane.
    // Free mode: characters moved out of the typing pane. A text layout re-shapes its whole paragraph
    // on every keystroke, so a free run keeps only the recent end of a long typed text in the pane
    // (as a page turn does in follow mode) and counts the rest here.
    int m_freeHeld = 0;
    void trimFreePane(int& length);
    int m_paneEvents = 0;
    int m_paneEventsAtChange = 0;
    int m_paneLength = 0;

    // ---- Results, record and code hints ----
    // Figures, table, result line and end of a run live in frmmain_results.cpp; the typing record
    // and the code hints in frmmain_record.cpp. The typing-pane change handler adds to the record
    // with m_record.addTyped(typing-pane length, lastCommitLength), then refreshRecordLabel().
    friend class TestResultsWindow;
    void computeResults();
    void refreshResultButtons();
    void fillResultRow();
    void colourResultRow(double speedValue, double keyRateValue, double codeLengthValue);
    void resetColumnWidths();
    RunInputs currentRunInputs() const;
    RunResult currentRunResult() const;
    void setResultCell(int column, const QString& text);
    QString resultCellText(int column) const;
    void showResultButtons();
    void takeCurvePeaks();
    void swapHistories(ResultHistories& histories);
    void buildResultText();
    void buildPostText();
    void markUploadEligibility();
    void waitProcessingEvents(int ms);
    void refreshRecordLabel();
    void refreshTotals();
    bool askQuestion(const QString& question);
    // Owned by later work (frmmain_placeholders.cpp): the curve window's data.
    void updateCurveData();
    // The branches that pop up, post and upload the result and take the automatic next step.
    void finishRunBranch();
    void finishFreeRunPopup();
    void finishFreeRunRetype();

    double runMinutes = 0.0;
    double runSeconds = 0.0;
    double speed = 0.0;
    double keyRate = 0.0;
    double codeLength = 0.0;
    QString speedText;
    QString keyRateText;
    QString codeLengthText;
    QString keyAccuracyText; // percentages without the "%" sign
    QString wordRatioText;
    QString handRatioText;
    QStringList resultCells; // the 15 cells of the current row
    QString resultText;
    QString resultTextPlain;
    QString shortResult;
    double peakSpeed = 0.0;
    double peakKeyRate = 0.0;
    double peakCodeLength = 0.0;
    int runEndCount = 0; // entries into the end chains since the last counter reset
    // Shared with the sending cycle, which sets sentLength for each text it sends.
    int sentLength = 0;
    bool wholeText = false;
    TypingRecord m_record;
    // Reader 1 serves the code hint, reader 2 the theoretical code length.
    CodeFile m_codeReader1;
    CodeFile m_codeReader2;
    // What reader 1 was read from, so reader 2 shares its index unless the file changed since.
    QString m_codeFilePath;
    QDateTime m_codeFileModified;
    qint64 m_codeFileSize = -1;

    // ---- Menus, chrome, texts and boss key ----
    // The menu tree, the window shortcuts, the boss key and the small commands (initMenus) live in
    // frmmain_menus.cpp; the colour scheme, window set-up (initStyle), pane colours (applyColours),
    // title-bar buttons, fading close and tray (initTrayMenu) in frmmain_chrome.cpp; the built-in
    // drills and the text commands in frmmain_texts.cpp.
    friend class TestMenus;
    friend class TestBossKey;
    QAction* addCommand(QMenu* menu, const QString& text, void (frmMain::*slot)(), const QString* key = nullptr);
    void fillArticleMenu(const QString& folder);
    void openArticle(const QString& name);
    bool openTextFile(const QString& fileName);
    void layHandPassage(const QString& title, const QString& text);
    void loadDrill(BuiltinDrill drill);
    void setTypingMode(int newMode);
    QString typingPaneStyle() const;
    bool pickColour(QString& stored);
    void addSchemeMenu(QMenu* parent);
    static QString schemeName(const QString& entryText);
    // What every way out of the program saves: the collected characters and the record.
    void saveSessionData();
    // Owned by the sending cycle (frmmain_placeholders.cpp): shows or hides the sending-state panel
    // while a cycle runs, for the boss key and the restore button.
    void setSendPanelVisible(bool visible);

    bool windowShown = false; // the window is shown, as the tray and the boss key see it
    QRect normalGeometry;     // the geometry before the title-bar button maximised the window
    QString openedFileName;   // the last file opened with "打开"
    QString m_articleFolder;  // where the "文章" entries were listed from
    QMenu* m_modeMenu = nullptr;
    QMenu* m_groupMenu = nullptr; // "换群": the chat-window binding fills in one entry per chat title
    QMenu* m_articleMenu = nullptr;
    QMenu* m_trayMenu = nullptr;
    QActionGroup* m_getWayGroup = nullptr;
    QActionGroup* m_modeGroup = nullptr;
    QActionGroup* m_styleGroup = nullptr;
    QAction* m_settingAction = nullptr;
    QAction* m_sendAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_clipboardAction = nullptr;
    QAction* m_removeSpacesAction = nullptr;
    QAction* m_loginAction = nullptr;    // its text follows App::LoginMenuText
    QAction* m_registerAction = nullptr; // its text follows App::RegisterMenuText
    QList<QAction*> m_drillActions;
    // The window shortcuts and the configuration key each one is read from.
    QVector<QPair<const QString*, QAction*>> m_shortcutBindings;
    MyGlobalShortCut* m_bossKey = nullptr; // a child of the window, replaced at each rebinding
    QPropertyAnimation* m_fadeOut = nullptr;
    // Set once the constructor's set-up is done: restoring the saved mode then writes nothing.
    bool m_setUpDone = false;

    // ---- Account: menu, remembered login, remote record and ranking upload ----
    AccountPart* m_account = nullptr;
};

#endif
