#ifndef TAVREL_FRMMAIN_H
#define TAVREL_FRMMAIN_H

#include <QDialog>
#include <QString>
#include <QSystemTrayIcon>

#include <memory>

// The parts whose commands the window forwards inline.
#include "account/accountpart.h"
#include "app/core/app.h"
#include "sending/sendingcycle.h"
#include "typing/charcollections.h"
#include "typing/codehints.h"
#include "typing/core/comparison.h"
#include "typing/core/drills.h"
#include "typing/helpcommands.h"
#include "typing/panelook.h"
#include "typing/textcommands.h"
#include "typing/windowframe.h"

// The other parts, each with one job and its own file pair in typing/.
class ChatRoad;
class RecordView;
class MainMenus;
class PaneInput;
class ResultBranch;
class ResultTable;
class RunClock;
class RunStatusBar;
class TypingView;
class WindowTray;
struct FinishedRun;

class QContextMenuEvent;
class QMenuBar;
class QSplitter;
class QTimer;
class Ui_frmMain;

struct RunInputs;
struct RunResult;
enum class RunEnd;

// The typing trainer's main window: reference pane over typing pane, result buttons and table,
// progress bar and status labels. It is made of parts (the typing view over the comparison run,
// the pane's input, the result table, the result branch, the chat road, the run clock, the menus,
// the status bar, the code hints, the tray, the look, the hand-laid texts, the help commands, the
// frame, the character collections), creates and wires them, and keeps the slots whose names are
// fixed as short forwarders. Its own code is split by topic over the frmmain_*.cpp files.
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
    bool clockRunning() const;

    void setVisible(bool visible) override;

    // ---- The run and the parts, for the window's topics, the parts still to come and tests ----
    // Lays a passage as the current one (cleaned as configured, page 1, counts reset by the caller).
    void loadArticle(QString text);
    // Lays a passage as every hand-laid text goes: the run reset, title and first segment set, the
    // text laid (an empty one only relabels), a sending cycle stopped; never eligible for ranking.
    void layHandPassage(const QString& title, const QString& text);
    QString passageTitle() const { return textTitle; }
    // The run's state is read where it is owned: the comparison run (passage, page, typed text,
    // wrong characters), and the count of a free run.
    const PassageRun& typingRun() const;
    const QString& passage() const { return typingRun().passage(); }
    int passageLength() const { return typingRun().passageLength(); }
    int pageNumber() const { return typingRun().pageNumber(); }
    int typedCount() const;
    int wrongCount() const { return typingRun().wrongCount(); }
    // The run ended with its last character right (follow and blind mode).
    bool runFinished() const { return finished; }
    // The result table with the last figures, the histories and the peaks.
    ResultTable* resultTable() const { return m_results; }
    // The menu tree (the log-in and register entries for the account).
    MainMenus* mainMenus() const { return m_menus; }

signals:
    void DoStartTimer();
    void DoStopTimer();
    void infoqx(const QString& speeds);
    void zbgb(const int& x, const int& y);
    void state(const QString& a, const QString& b, const QString& c, const QString& d);

public slots:
    // ---- Sending cycle and speed curve ----
    void infoRecv(int segSize, QString name, QString text, QString first, QString notice)
    {
        m_sending->start(segSize, name, text, first, notice);
    }
    void showFawen() { m_sending->openSendingWindow(); }

    // ---- Menus, settings and hot keys ----
    void settingRecv();
    void activated() { bossSlot(); }

    // ---- Account ----
    void loginRecv(QString message) { m_account->loginRecv(message); }

    void showSetting();
    void openSlot() { m_texts->openFile(); }
    void fontSlot() { m_look->chooseFont(); }

    // ---- Built-in texts ----
    void qwSlot() { m_texts->loadDrill(BuiltinDrill::Front500); }
    void zwSlot() { m_texts->loadDrill(BuiltinDrill::Middle500); }
    void hwSlot() { m_texts->loadDrill(BuiltinDrill::Back500); }
    void ywSlot() { m_texts->loadDrill(BuiltinDrill::Front1500); }

    // ---- Chat window, capture and sending ----
    void cjSlot();
    void shSlot();
    void fxSlot() { m_sending->advance(); }
    void tzSlot() { m_sending->stop(); }

    // ---- Small commands ----
    void xzSlot() { m_help->download(); }
    void qqSlot() { m_help->chatGroup(); }
    void tbSlot() { m_help->forum(); }
    void aboutSlot() { m_help->about(); }
    void lxSlot() { m_texts->shuffle(); }

    // ---- Typing record ----
    void qkSlot();
    void jlSlot();
    void uploadcjSlot() { m_account->uploadcjSlot(); }
    void zdSlot();

    // ---- Clipboard and collections ----
    void getClipboard() { m_texts->pasteClipboard(); }
    void qcSlot() { m_texts->removeSpaces(); }

    void sxSlot();

    // ---- Typing modes ----
    void gdSlot();
    void zySlot();
    void mdSlot();

    // ---- Result table ----
    void clearResult();

    void setMaxLength();

    // ---- Title-bar buttons ----
    void on_btnMenu_Max_clicked() { m_frame->toggleMaximised(); }
    void on_btnMenu_Min_clicked() { showMinimized(); }

    // ---- Run clock and run control ----
    void TimeSlot();
    void Start();
    void Stop();
    void Reset();
    void hqSlot();
    void pauseSlot();
    void bossSlot() { m_frame->bossKey(); }
    void checkSlot();
    void StyleSlot() { m_look->chooseScheme(sender()); }
    void contextMenuEvent(QContextMenuEvent* event) override;

    // ---- Code hints ----
    void spellFun();
    void getfirstbmts();

    // ---- Result figures ----
    void chengji();

    // ---- Tray ----
    void iconActivated(QSystemTrayIcon::ActivationReason reason) { m_frame->trayActivated(reason, m_tray); }
    void slotExitActionTrigger();

    // ---- End of a run ----
    void slotDelay();
    void slotDelay2();
    void autotd();

    // ---- More commands ----
    void fuwSlot();
    void rankSlot() { m_account->rankSlot(); }
    void loginSlot() { m_account->loginSlot(); }
    void regSlot() { m_account->regSlot(); }
    void zanzhuSlot() { m_help->sponsor(); }
    void bmcxSlot();
    void cftjSlot();
    void inputSlot();
    void mcSlot() { on_button6_clicked(); }
    void showSlot() { m_sending->toggleCurve(); }
    void saveSlot() { m_sending->saveProgress(); }
    bool closeWidget()
    {
        m_frame->fadeOut();
        return true;
    }
    void menu1ActionClick(QAction* action) { m_texts->openArticle(action); }
    void qmenuActionClick(QAction* action);

    // ---- Colours and appearance ----
    void dbjSlot() { m_look->pickColour(App::Dbj); }
    void gbjSlot() { m_look->pickColour(App::Gbj); }
    void cbjSlot() { m_look->pickColour(App::Tbj); }
    void ygczSlot() { m_look->resetLook(); }
    void rcSlot() { m_look->pickColour(App::Rc, false); }
    void wcSlot() { m_look->pickColour(App::Wc, false); }
    void NormalSlot() { m_frame->showWindow(); }
    void HideSlot() { m_frame->hideWindow(); }
    void shortcutSlot();
    void ztcdSlot() { m_look->pickColour(App::Ztcd); }
    void ztcgSlot() { m_look->pickColour(App::Ztcg); }
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
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // ---- Construction (frmmain.cpp) ----
    void initVariables();
    void initTimers();
    void initForm();

    // ---- Run clock (frmmain_clock.cpp) ----
    void stopClockThread();

    // ---- Set-up and reset steps of the topics ----
    void openCodeFile() { m_hints->openHintReader(); }
    void openCodeFile2() { m_hints->openLengthReader(); }
    void resetCounters();
    void resetDisplay();
    void getfromSql();
    void initMenus();
    void updateStatus();
    void jltoSql();
    // The code hint for the reference pane's character at `position`.
    void showCodeHint(int position);
    // Hints show: on in the settings, and not in free mode.
    static bool codeHintsOn();

    // ---- Parts and members shared by the window's topics ----
    Ui_frmMain* ui = nullptr;
    int retypeCount = 0;
    int endTickCount = 0;
    bool finished = false;
    QString m_finishedBy; // the account signed in when the run finished
    WindowTray* m_tray = nullptr;
    RunClock* m_clock = nullptr;
    QTimer* secondTimer = nullptr;
    QString segmentHeader;
    QString textTitle;
    QString latestVersionTitle;
    bool paused = false;

    // ---- Layout ----
    QMenuBar* m_menuBar = nullptr; // filled by the menu set-up
    QSplitter* m_splitter = nullptr;

    void setUpChatRoad();
    FinishedRun takeFinishedRun() const;
    // The run's final row; false when the run was reset while it was shown.
    bool showFinalRow();
    // The ranking upload, and the sending cycle's step after a posted result.
    void tryUpload(int manual) { m_account->tryUpload(manual); }
    void loadNextSegmentAfterResult(bool runFinished) { m_sending->advanceAfterRun(runFinished); }

    ChatRoad* m_chat = nullptr;
    ResultBranch* m_branch = nullptr;

    // ---- Typing run: loading and the per-change pass (frmmain_typing.cpp) over the typing view;
    // the typing pane's event filter and the counter reset (frmmain_keys.cpp) ----
    void reloadText();
    void prepareRun();
    void refreshBottomInfo();
    void showTitleMessage(QString message, int ms);
    void fillCompareRow();
    void onTextChanged();
    void scanCollections(const PageComparison& page);
    void setTitleText(const QString& text);
    bool runReturnHotKey();

    CharCollections m_collections;
    bool m_inTypedChange = false;

    // ---- Results over the result table, the result line and the end of a run (frmmain_results.cpp);
    // the typing record and the code hints (frmmain_record.cpp) ----
    void computeResults();
    void refreshResultButtons();
    void fillResultRow();
    // Colours the current row's first three cells by the run's figures, when BianSe is on.
    void colourResultRow();
    RunInputs currentRunInputs() const;
    RunResult currentRunResult() const;
    // The speed, key-rate and code-length buttons read their captions with cells 0 to 2 behind them;
    // with no cells, the bare captions.
    void showResultButtons(const QStringList& cells);
    // Builds the finished run's line, its pop-up form and its check, and puts the line on the clipboard.
    void buildPostText(RunEnd end);
    void markUploadEligibility();
    void waitProcessingEvents(int ms);
    bool askQuestion(const QString& question);
    // The histories are filtered and the peaks taken when this runs: the speeds go to the curve.
    void updateCurveData();
    void finishFreeRunRetype();

    ResultTable* m_results = nullptr;
    TypingView* m_view = nullptr;
    PaneInput* m_input = nullptr;
    RunStatusBar* m_status = nullptr;
    RecordView* m_records = nullptr;
    QString resultText;
    QString resultTextPlain;
    QString shortResult;
    int runEndCount = 0; // entries into the end chains since the last counter reset
    // The finished run's passage was the whole text (of a sending cycle or a built-in set).
    bool wholeText = false;
    const std::unique_ptr<CodeHints> m_hints;

    // ---- The small commands behind the menus part (frmmain_menus.cpp); the look, the hand-laid
    // texts, the help commands and the frame are parts of their own ----
    void setTypingMode(int newMode);
    // What every way out of the program saves: the collected characters and the record.
    void saveSessionData();

    MainMenus* m_menus = nullptr;
    PaneLook* m_look = nullptr;
    TextCommands* m_texts = nullptr;
    HelpCommands* m_help = nullptr;
    WindowFrame* m_frame = nullptr;
    // Set once the constructor's set-up is done: restoring the saved mode then writes nothing.
    bool m_setUpDone = false;

    // ---- Sending side: the sending window, the cycle, its panel and the speed curve ----
    SendingCycle* m_sending = nullptr;

    // ---- Account: menu, remembered login, remote record and ranking upload ----
    AccountPart* m_account = nullptr;
};

#endif
