// Main window: construction, layout, dragging, Escape, closing, and the laying of hand-laid passages.
#include "typing/frmmain.h"
#include "typing/chatroad.h"
#include "typing/codehints.h"
#include "typing/coresettings.h"
#include "typing/mainmenus.h"
#include "typing/paneinput.h"
#include "typing/recordview.h"
#include "typing/resulttable.h"
#include "typing/runclock.h"
#include "typing/statusbar.h"
#include "typing/typingview.h"
#include "typing/windowtray.h"
#include "ui_frmmain.h"

#include "account/accountpart.h"
#include "account/core/remoteinfo.h"
#include "app/core/app.h"
#include "sending/sendingcycle.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

frmMain::frmMain(QWidget* parent) : QDialog(parent), ui(new Ui_frmMain), m_hints(std::make_unique<CodeHints>())
{
    ui->setupUi(this);
    setUpChatRoad();
    m_results = new ResultTable(ui->mywidget);
    m_view = new TypingView(ui->textEdit, ui->textEdit2, this);
    m_clock = new RunClock(this);
    m_input = new PaneInput(this);
    m_status = new RunStatusBar(ui->mywidget);
    m_records = new RecordView(CoreSettings::recordStore(), m_status, ui->button4, ui->button5, this);
    m_look = new PaneLook(this, ui->mywidget, ui->textEdit, ui->textEdit2, m_view, m_results->view());
    m_texts = new TextCommands(this, ui->textEdit);
    m_frame = new WindowFrame(this, ui, [this](bool visible) { m_sending->setPanelVisible(visible); });
    m_help = new HelpCommands(this, [this](const QString& message, int ms) { showTitleMessage(message, ms); });
    connect(m_input, &PaneInput::runStartKey, this, &frmMain::Reset);
    connect(m_input, &PaneInput::returnKey, this, [this] { runReturnHotKey(); });

    // The sending side works on the window only through these.
    SendingHost sendingHost;
    sendingHost.window = this;
    sendingHost.layPassage = [this](const QString& title, const QString& header, const QString& text) {
        Reset();
        segmentHeader = header;
        textTitle = title;
        loadArticle(text);
    };
    sendingHost.passage = [this] { return passage(); };
    sendingHost.post = [this](const QString& message) { m_chat->post(message); };
    sendingHost.freeTyping = [this] { return App::Pattern == FreeTyping; };
    sendingHost.maximised = [this] { return m_frame->maximised(); };
    sendingHost.focusTypingPane = [this] { ui->textEdit2->setFocus(Qt::OtherFocusReason); };
    sendingHost.titleMessage = [this](const QString& message, int ms) { showTitleMessage(message, ms); };
    m_sending = new SendingCycle(std::move(sendingHost), this);
    connect(m_sending, &SendingCycle::state, this, &frmMain::state);
    connect(this, &frmMain::zbgb, m_sending, &SendingCycle::followMainWindow);
    connect(this, &frmMain::infoqx, m_sending, &SendingCycle::showSpeeds);

    // ---- Account ----
    AccountPart::Host accountHost;
    accountHost.showTitleMessage = [this](const QString& message, int ms) { showTitleMessage(message, ms); };
    accountHost.refreshAccountActions = [this] {
        if (m_menus) {
            m_menus->loginAction()->setText(App::LoginMenuText);
            m_menus->registerAction()->setText(App::RegisterMenuText);
        }
    };
    accountHost.readRecord = [this] { getfromSql(); };
    accountHost.syncRecord = [this] { jltoSql(); };
    accountHost.lastRun = [this] {
        return RankUpload::Run{m_results->figures().speedText,
                               m_results->cells(),
                               wrongCount(),
                               passageTitle(),
                               runFinished(),
                               wholeText,
                               m_finishedBy};
    };
    m_account = new AccountPart(accountHost, this);

    openCodeFile();
    openCodeFile2();

    latestVersionTitle = m_account->latestVersionTitle();
    if (App::DbOnline)
        RemoteInfo::fetchPublicAddress(this, RemoteInfo::PublicAddressTimeoutMs);

    initVariables();
    resetCounters();
    initTimers();
    initForm();
    resetDisplay();
    getfromSql();
    m_frame->styleTitleBar();
    m_collections.load();
    m_look->applyColours();
    m_setUpDone = true;
    setWindowTitle(App::AppTitle);
}

frmMain::~frmMain()
{
    m_records->flushSave();
    stopClockThread();
    delete m_tray;
    m_tray = nullptr;
    delete ui;
}

void frmMain::setVisible(bool visible)
{
    QDialog::setVisible(visible);
}

void frmMain::initVariables()
{
    segmentHeader = QStringLiteral("第1段");
    textTitle = QStringLiteral("快捷键介绍");
    retypeCount = 0;
    // The sending cycle's starting values (sent length, whole-text and stop flags) join here with
    // the sending cycle itself.
    m_account->checkRememberedLogin();
}

QString frmMain::hotKeyHelpText()
{
    const struct
    {
        const QString& key;
        const char* label;
    } entries[] = {
        {App::Kjcd, "重打 "}, {App::Kjzd, "载文 "}, {App::Kjhq, "换群 "},
        {App::Kjlx, "乱序 "}, {App::Kjzt, "暂停 "}, {App::Kjzj, "暂停/结束(自由模式)"},
    };
    QString line;
    for (const auto& entry : entries) {
        if (!entry.key.isEmpty())
            line += entry.key + QString::fromUtf8(entry.label);
    }
    line.replace(QStringLiteral("Return"), QStringLiteral("回车"), Qt::CaseSensitive);
    return line;
}

void frmMain::initForm()
{
    // The menu set-up fills this bar; it holds the first row of the body.
    m_menuBar = new QMenuBar(ui->mywidget);
    initMenus();

    chengji();
    m_results->resetColumnWidths();

    // The first passage is the hot-key help. Kept apart from remainingText, which the mode switch
    // below resets with the run before the help is laid.
    const QString firstPassage = typingRun().remainingText() + hotKeyHelpText();

    ui->textEdit->setReadOnly(true);
    ui->textEdit->setContextMenuPolicy(Qt::NoContextMenu);
    ui->textEdit2->setContextMenuPolicy(Qt::NoContextMenu);
    ui->textEdit2->installEventFilter(this);

    connect(ui->button, &QPushButton::clicked, this, &frmMain::showSlot);
    connect(ui->textEdit, &QTextEdit::textChanged, this, &frmMain::BottomChange2);
    connect(ui->textEdit2, &QTextEdit::textChanged, this, &frmMain::Start);
    connect(ui->textEdit2, &QTextEdit::textChanged, this, &frmMain::spellFun);

    // Return in the typing pane must never click a result button, so none of them may be default.
    for (QPushButton* button : std::initializer_list<QPushButton*>{ui->button, ui->button2, ui->button3, ui->button4, ui->button5, ui->button6}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    m_results->view()->setObjectName(QStringLiteral("resultView"));

    // The panes leave their form layout for the splitter; the emptied container is not needed.
    m_splitter = new QSplitter(Qt::Vertical, ui->mywidget);
    m_splitter->addWidget(ui->textEdit);
    m_splitter->addWidget(ui->textEdit2);
    m_splitter->addWidget(m_results->view());
    m_splitter->setStretchFactor(0, 6);
    m_splitter->setStretchFactor(1, 2);
    m_splitter->setStretchFactor(2, 2);
    ui->verticalLayoutWidget->hide();

    auto* grid = new QGridLayout(ui->mywidget);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    grid->addWidget(m_menuBar, 0, 0);
    grid->addWidget(ui->horizontalLayoutWidget, 1, 0);
    // The bar fills its own background (the window's colour), so a live caption repaints the bar
    // alone and not the window under it as well.
    ui->horizontalLayoutWidget->setAutoFillBackground(true);
    grid->addWidget(m_splitter, 2, 0);
    grid->addWidget(m_status->progressBar(), 3, 0);
    grid->addWidget(m_status->statusBar(), 4, 0);

    m_frame->place();
    connect(ui->btnMenu_Close, &QPushButton::clicked, this, &frmMain::closeWidget);

    m_look->applyConfiguredFont();

    if (App::Pattern == 0)
        gdSlot();
    else if (App::Pattern == 1)
        zySlot();
    else
        mdSlot();

    loadArticle(firstPassage);

    m_tray = new WindowTray(this);

    ui->horizontalLayoutWidget->setVisible(App::Showcj);
    sxSlot();
}

void frmMain::clearResult()
{
    m_results->clearRow();
    chengji();
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    // The dialog would close on Escape; the main window never does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    saveSessionData();
    event->accept();
    QCoreApplication::quit();
}

void frmMain::slotExitActionTrigger()
{
    // Leaving by the tray skips the fade, not the saving.
    saveSessionData();
    QCoreApplication::exit(0);
}

void frmMain::saveSessionData()
{
    m_collections.save();
    m_records->flushSave();
    jltoSql();
}

// Every passage laid by hand goes the same way: the run is reset, the title and segment label
// set, the text laid, and a sending cycle stopped. Such a text is never eligible for the ranking
// on loading; a whole built-in drill becomes eligible at the end of its run.
void frmMain::layHandPassage(const QString& title, const QString& text)
{
    Reset();
    segmentHeader = FirstSegmentHeader;
    textTitle = title;
    App::setTextSource(App::TextSource::Other);
    if (text.isEmpty())
        refreshBottomInfo(); // nothing to lay: the labels still show the new title
    else
        loadArticle(text);
    tzSlot();
}
