// Main window: construction, layout, dragging, Escape and closing.
#include "typing/frmmain.h"
#include "ui_frmmain.h"

#include "account/accountpart.h"
#include "app/core/app.h"
#include "app/iconhelper.h"
#include "app/core/myhelper.h"

#include <QCloseEvent>
#include <QDebug>
#include <QEventLoop>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHostAddress>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

namespace {

const int kPublicIpTimeoutMs = 5000;

// The address service reports the caller's address in its page: either the page is the bare
// address, or the first dotted quad in it is the address. Anything else counts as no answer.
QString extractAddress(const QByteArray& body)
{
    static const QRegularExpression quad(QStringLiteral("(?<![0-9.])(\\d{1,3}(?:\\.\\d{1,3}){3})(?![0-9.])"));
    static const QRegularExpression wholeQuad(QStringLiteral("^\\d{1,3}(?:\\.\\d{1,3}){3}$"));

    const QString text = QString::fromLatin1(body).trimmed();
    QStringList candidates;
    if (wholeQuad.match(text).hasMatch() || text.contains(QLatin1Char(':')))
        candidates << text;
    const QRegularExpressionMatch m = quad.match(text);
    if (m.hasMatch())
        candidates << m.captured(1);

    for (const QString& candidate : qAsConst(candidates)) {
        QHostAddress address;
        // A bare text that QHostAddress accepts loosely (for example "42") is not taken: only a full
        // dotted quad or an IPv6 text gets here.
        if (address.setAddress(candidate))
            return address.toString();
    }
    return QString();
}

} // namespace

frmMain::frmMain(QWidget* parent) : QDialog(parent), ui(new Ui_frmMain)
{
    ui->setupUi(this);
    m_bodyStyle = ui->mywidget->styleSheet();

    // ---- Account ----
    AccountPart::Host accountHost;
    accountHost.showTitleMessage = [this](const QString& message, int ms) { showTitleMessage(message, ms); };
    accountHost.refreshAccountActions = [this] {
        if (m_loginAction)
            m_loginAction->setText(App::LoginMenuText);
        if (m_registerAction)
            m_registerAction->setText(App::RegisterMenuText);
    };
    accountHost.readRecord = [this] { getfromSql(); };
    m_account = new AccountPart(accountHost, this);

    openCodeFile();
    openCodeFile2();

    if (App::DbOnline) {
        latestVersionTitle = m_account->latestVersionTitle();
        fetchPublicIp(kPublicIpTimeoutMs);
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
    flushRecordSave();
    stopClockThread();
    delete trayIcon;
    trayIcon = nullptr;
    delete ui;
}

void frmMain::setVisible(bool visible)
{
    QDialog::setVisible(visible);
}

void frmMain::initVariables()
{
    pageNumber = 1;
    segmentHeader = QStringLiteral("第1段");
    textTitle = QStringLiteral("快捷键介绍");
    resultRow = 0;
    retypeCount = 0;
    // The sending cycle's starting values (sent length, whole-text and stop flags) join here with
    // the sending cycle itself.
    checkRememberedLogin();
}

QString frmMain::getVersion()
{
    if (!App::DbOnline)
        return QString();
    return myHelper::getOne(QStringLiteral("select v_version from kelm_version order by v_time desc limit 1"),
                            QVariantList());
}

void frmMain::fetchPublicIp(int timeoutMs)
{
    App::PublicIp.clear();
    QString base = App::WebUrl;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (base.isEmpty())
        return;

    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(base + QStringLiteral("/ip/visitoriphost/")));
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = manager.get(request);

    // The reply is awaited in a local loop so the clock and other slots keep running; the guard
    // timer ends the wait even if the transfer timeout never fires.
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(timeoutMs + 1000);
    if (!reply->isFinished())
        loop.exec();

    if (!reply->isFinished()) {
        reply->abort();
        qDebug() << "公网地址：请求超时";
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
        qDebug() << "公网地址：" << reply->errorString() << status;
        return;
    }
    App::PublicIp = extractAddress(reply->readAll());
    if (App::PublicIp.isEmpty())
        qDebug() << "公网地址：回复中没有地址";
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

    resultView = new QTableView(ui->mywidget);
    resultView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultView->setShowGrid(false);
    resultView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    resultView->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultModel = new QStandardItemModel(this);
    resultModel->setHorizontalHeaderLabels({QStringLiteral("速度"), QStringLiteral("击键"), QStringLiteral("码长"),
                                            QStringLiteral("字数"), QStringLiteral("时间"), QStringLiteral("回改"),
                                            QStringLiteral("退格"), QStringLiteral("回车"), QStringLiteral("键数"),
                                            QStringLiteral("选重"), QStringLiteral("键准"), QStringLiteral("键法"),
                                            QStringLiteral("重打"), QStringLiteral("打词"), QStringLiteral("错字")});
    resultView->setModel(resultModel);
    chengji();
    resetColumnWidths();

    // The first passage is the hot-key help. Kept apart from remainingText, which the mode switch
    // below resets with the run before the help is laid.
    const QString firstPassage = remainingText + hotKeyHelpText();

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

    progressBar = new QProgressBar(ui->mywidget);
    progressBar->setFixedHeight(8);
    progressBar->setTextVisible(false);
    m_statusBar = new QStatusBar(ui->mywidget);
    m_statusBar->setSizeGripEnabled(false);
    labChat = new QLabel(QStringLiteral("QQ群: "), m_statusBar);
    labSegment = new QLabel(m_statusBar);
    labTitle = new QLabel(m_statusBar);
    labCount = new QLabel(m_statusBar);
    labProgress = new QLabel(m_statusBar);
    labCodeHint = new QLabel(m_statusBar);
    labRecord = new QLabel(QStringLiteral("打字记录: "), m_statusBar);
    for (QLabel* label : {labChat, labSegment, labTitle, labCount, labProgress, labCodeHint, labRecord})
        m_statusBar->addWidget(label, 1);

    // The panes leave their form layout for the splitter; the emptied container is not needed.
    m_splitter = new QSplitter(Qt::Vertical, ui->mywidget);
    m_splitter->addWidget(ui->textEdit);
    m_splitter->addWidget(ui->textEdit2);
    m_splitter->addWidget(resultView);
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
    grid->addWidget(progressBar, 3, 0);
    grid->addWidget(m_statusBar, 4, 0);

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
}

void frmMain::setSizeLimits()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setMaximumSize(screen->availableGeometry().size());
    setMinimumSize(584, 335);
}

void frmMain::clearResult()
{
    // Emptied in place: a new item makes the table redo its layout, and this runs on every tick
    // while the row is not shown live.
    for (int column = 0; column < 15; ++column) {
        if (QStandardItem* item = resultModel->item(resultRow, column))
            item->clearData();
        else
            resultModel->setItem(resultRow, column, new QStandardItem());
    }
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
    flushRecordSave();
    jltoSql();
}
