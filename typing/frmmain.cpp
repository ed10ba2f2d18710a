// Main window: construction, layout, dragging, Escape and closing.
#include "typing/frmmain.h"
#include "typing/chatroad.h"
#include "typing/codehints.h"
#include "typing/coresettings.h"
#include "typing/mainmenus.h"
#include "typing/paneinput.h"
#include "typing/recordview.h"
#include "typing/remoteinfo.h"
#include "typing/resulttable.h"
#include "typing/runclock.h"
#include "typing/statusbar.h"
#include "typing/typingview.h"
#include "typing/windowtray.h"
#include "ui_frmmain.h"

#include "account/accountpart.h"
#include "account/core/login.h"
#include "app/core/app.h"
#include "app/iconhelper.h"
#include "sending/sendingcycle.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

frmMain::frmMain(QWidget* parent) : QDialog(parent), ui(new Ui_frmMain), m_hints(std::make_unique<CodeHints>())
{
    ui->setupUi(this);
    m_bodyStyle = ui->mywidget->styleSheet();
    setUpChatRoad();
    m_results = new ResultTable(ui->mywidget);
    m_view = new TypingView(ui->textEdit, ui->textEdit2, this);
    m_clock = new RunClock(this);
    m_input = new PaneInput(this);
    m_status = new RunStatusBar(ui->mywidget);
    m_records = new RecordView(CoreSettings::recordStore(), m_status, ui->button4, ui->button5, this);
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
    sendingHost.freeTyping = [this] { return mode == FreeTyping; };
    sendingHost.maximised = [this] { return maximised; };
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
    accountHost.lastRun = [this] {
        return RankUpload::Run{
            m_results->figures().speedText, m_results->cells(), wrongCount(), passageTitle(), runFinished(), wholeText};
    };
    m_account = new AccountPart(accountHost, this);

    openCodeFile();
    openCodeFile2();

    if (App::DbOnline) {
        latestVersionTitle = AccountLogin::latestVersionTitle(RemoteInfo::latestVersion(), App::AppTitle);
        RemoteInfo::fetchPublicAddress(this, RemoteInfo::PublicAddressTimeoutMs);
    } else {
        latestVersionTitle = App::AppTitle;
    }

    initVariables();
    resetCounters();
    initTimers();
    initForm();
    resetDisplay();
    getfromSql();
    initStyle();
    loadWrongChars();
    loadSlowChars();
    m_loadedWrongChars = App::WrongChars;
    m_loadedSlowChars = App::SlowChars;
    applyColours();
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
    checkRememberedLogin();
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
    connect(ui->textEdit2, &QTextEdit::cursorPositionChanged, this, &frmMain::do_cursorChanged);
    connect(ui->textEdit2, &QTextEdit::textChanged, this, &frmMain::spellFun);

    // Return in the typing pane must never click a result button, so none of them may be default.
    for (QPushButton* button : {ui->button, ui->button2, ui->button3, ui->button4, ui->button5, ui->button6}) {
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
    grid->addWidget(m_splitter, 2, 0);
    grid->addWidget(m_status->progressBar(), 3, 0);
    grid->addWidget(m_status->statusBar(), 4, 0);

    resize(App::Width, App::Height);
    setSizeLimits();
    if (App::X == 0 && App::Y == 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        move(screen ? screen->availableGeometry().left() : 0, 0);
    } else {
        move(App::X, App::Y);
    }

    m_fadeIn = new QPropertyAnimation(this, "windowOpacity", this);
    m_fadeIn->setDuration(500);
    m_fadeIn->setStartValue(0.0);
    m_fadeIn->setEndValue(1.0);
    m_fadeIn->start();
    connect(ui->btnMenu_Close, &QPushButton::clicked, this, &frmMain::closeWidget);

    QFont paneFont(QStringLiteral("微软雅黑"), 26);
    if (!App::Font1.isEmpty()) {
        QFont configured;
        if (configured.fromString(App::Font1))
            paneFont = configured;
        else
            qDebug() << "字体设置无效：" << App::Font1;
    }
    setPaneFont(paneFont);

    if (App::Pattern == 0)
        gdSlot();
    else if (App::Pattern == 1)
        zySlot();
    else
        mdSlot();

    loadArticle(firstPassage);

    initTrayMenu();

    ui->horizontalLayoutWidget->setVisible(App::Showcj);
    sxSlot();
}

void frmMain::setPaneFont(const QFont& font)
{
    // The body's style sheet gives every child its small font, and each re-polish (theme switch,
    // new window flags, pane colours) would hand it to the panes again, resetting their documents.
    // A rule of its own in that sheet keeps the panes on their font through all of that.
    QString family = font.family();
    family.remove(QLatin1Char('"'));
    const QString size = font.pointSizeF() > 0 ? QString::number(font.pointSizeF()) + QStringLiteral("pt")
                                               : QString::number(font.pixelSize()) + QStringLiteral("px");
    const QString paneRule = QStringLiteral("font:%1 %2 %3 \"%4\";")
                                 .arg(font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"),
                                      font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"), size, family);
    ui->mywidget->setStyleSheet(QStringLiteral("*{%1} QTextEdit{%2}").arg(m_bodyStyle, paneRule));
    ui->textEdit->document()->setDefaultFont(font);
    ui->textEdit2->document()->setDefaultFont(font);
    // Without an application sheet the body's rule loses to the panes' own sheets, which then hand
    // them the body's small font: their own sheets carry the font as well.
    m_paneFontRule = paneRule;
    if (m_setUpDone)
        applyColours();
}

void frmMain::setSizeLimits()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setMaximumSize(screen->availableGeometry().size());
    setMinimumSize(584, 335);
}

void frmMain::clearResult()
{
    m_results->clearRow();
    chengji();
}

void frmMain::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragging = true;
        dragOffset = event->globalPos() - pos();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging && event->buttons() != Qt::NoButton && !maximised) {
        move(event->globalPos() - dragOffset);
        event->accept();
        App::X = x();
        App::Y = y();
        App::writeConfig();
        emit zbgb(App::X, App::Y);
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void frmMain::mouseReleaseEvent(QMouseEvent* event)
{
    dragging = false;
    QDialog::mouseReleaseEvent(event);
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

void frmMain::saveSessionData()
{
    // Written whenever different from what was loaded, so a collection emptied during the session
    // is emptied on disk too; an unchanged one is left alone.
    const auto save = [](const QString& name, const QString& collection, QString& loaded) {
        if (collection == loaded)
            return;
        if (App::writeFile(name + QStringLiteral(".txt"), collection))
            loaded = collection;
        else
            qWarning().noquote() << name + QStringLiteral("：写入失败");
    };
    save(QStringLiteral("错字收集"), App::WrongChars, m_loadedWrongChars);
    save(QStringLiteral("慢字收集"), App::SlowChars, m_loadedSlowChars);
    m_records->flushSave();
    jltoSql();
}
