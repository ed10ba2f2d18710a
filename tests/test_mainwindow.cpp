// The main window's frame: construction, run clock, help line, result table, placement, Escape,
// default buttons, closing, dragging and the public-address request.
#include "app/app.h"
#include "app/startup.h"
#include "testsupport.h"
#include "typing/frmmain.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

// A one-shot HTTP server on 127.0.0.1 that answers every request with a fixed reply, or never
// answers at all when the reply is empty.
class HttpStub : public QObject
{
public:
    explicit HttpStub(const QByteArray& reply) : m_reply(reply)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_request += socket->readAll();
                    if (!m_request.contains("\r\n\r\n") || m_reply.isEmpty())
                        return;
                    requestLine = m_request.left(m_request.indexOf("\r\n"));
                    socket->write(m_reply);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    bool listening() const { return m_server.isListening(); }

    int connections = 0;
    QByteArray requestLine;

private:
    QTcpServer m_server;
    QByteArray m_reply;
    QByteArray m_request;
};

QByteArray httpReply(int status, const QByteArray& body)
{
    return "HTTP/1.1 " + QByteArray::number(status) +
           " Status\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// Closing the window asks the application to quit; without a running loop that request would
// stay pending and end every later nested loop at once. Running the loop once consumes it.
void consumeQuitRequest()
{
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void constructionOffline();
    void constructionOnlineAsksForAddress();
    void clockTexts_data();
    void clockTexts();
    void finishedKeepsClockTexts();
    void hotKeyHelpDefaults();
    void hotKeyHelp_data();
    void hotKeyHelp();
    void resultTable();
    void placement_data();
    void placement();
    void paneFont_data();
    void paneFont();
    void escapeNeverCloses();
    void resultButtonsAreNotDefault();
    void dragMovesAndSaves();
    void dragIgnoredWhenMaximisedOrReleased();
    void publicAddress_data();
    void publicAddress();
    void publicAddressWithoutService();
    void clockRunsInItsThread();
    void stopThenStartKeepsRunning();
    void destroyWhileClockRuns();
    void closeWritesChangedCollections_data();
    void closeWritesChangedCollections();
    void closeButtonClosesAndSaves();

private:
    std::unique_ptr<TestDir> m_dir;
};

void TestMainWindow::initTestCase()
{
    App::initResources();
}

void TestMainWindow::init()
{
    m_dir = std::make_unique<TestDir>();
    App::resetConfig();
    App::DbOnline = false;
    App::WebUrl.clear();
    App::PublicIp.clear();
    App::WrongChars.clear();
    App::SlowChars.clear();
}

void TestMainWindow::cleanup()
{
    qApp->setStyleSheet(QString());
    m_dir.reset();
}

void TestMainWindow::constructionOffline()
{
    // Offline the window must not ask the address service, even when one is configured.
    HttpStub stub(httpReply(200, "203.0.113.9"));
    App::WebUrl = stub.url();

    frmMain w;
    QCOMPARE(w.windowTitle(), App::AppTitle);
    QCOMPARE(w.latestVersionTitle, App::AppTitle);
    QCOMPARE(w.pageNumber, 1);
    QCOMPARE(w.segmentHeader, QStringLiteral("第1段"));
    QCOMPARE(w.textTitle, QStringLiteral("快捷键介绍"));
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!w.lastGrowthTime.isValid());
    QCOMPARE(w.labChat->text(), QStringLiteral("QQ群: "));
    QCOMPARE(w.labRecord->text(), QStringLiteral("打字记录: "));
    QCOMPARE(w.minimumSize(), QSize(584, 335));

    const struct
    {
        const char* name;
        const char* tip;
    } titleButtons[] = {
        {"btnMenu", "菜单"}, {"btnMenu_Min", "最小化"}, {"btnMenu_Max", "最大化"}, {"btnMenu_Close", "关闭"}};
    for (const auto& entry : titleButtons) {
        auto* button = w.findChild<QPushButton*>(entry.name);
        QVERIFY2(button, entry.name);
        QCOMPARE(button->toolTip(), QString::fromUtf8(entry.tip));
        QCOMPARE(button->text().size(), 1); // one icon-font glyph
    }
    QCOMPARE(w.findChild<QPushButton*>("btnMenu_Close")->text().at(0).unicode(), ushort(0xF00D));
    QCOMPARE(w.findChild<QLabel*>("lab_Ico")->text().at(0).unicode(), ushort(0xF00A));
    QVERIFY(w.findChild<QTextEdit*>("textEdit")->isReadOnly());
    QVERIFY(!w.findChild<QTextEdit*>("textEdit2")->isReadOnly());

    QCoreApplication::processEvents();
    QCOMPARE(stub.connections, 0);
    QVERIFY(App::PublicIp.isEmpty());
}

void TestMainWindow::constructionOnlineAsksForAddress()
{
    // Online (here without a reachable database, so the version stays unknown) the window asks
    // the address service once while it is built.
    HttpStub stub(httpReply(200, "203.0.113.9"));
    App::WebUrl = stub.url();
    App::DbOnline = true;

    frmMain w;
    QCOMPARE(stub.connections, 1);
    QCOMPARE(App::PublicIp, QStringLiteral("203.0.113.9"));
    QCOMPARE(w.latestVersionTitle, QStringLiteral("Tavrel跟打器"));
}

void TestMainWindow::clockTexts_data()
{
    QTest::addColumn<int>("startMinutes");
    QTest::addColumn<int>("startSeconds");
    QTest::addColumn<int>("startCentis");
    QTest::addColumn<int>("startTicks");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QStringList>("expected");

    QTest::addRow("99 ticks") << 0 << 0 << 0 << 0 << 99 << QStringList{"00:", "00.", "99", "99"};
    QTest::addRow("100 ticks") << 0 << 0 << 0 << 0 << 100 << QStringList{"00:", "01.", "00", "100"};
    QTest::addRow("6000 ticks") << 0 << 0 << 0 << 0 << 6000 << QStringList{"01:", "00.", "00", "6000"};
    QTest::addRow("100 minutes") << 99 << 59 << 99 << 599999 << 1 << QStringList{"100:", "00.", "00", "600000"};
    QTest::addRow("single digits padded") << 3 << 4 << 4 << 18404 << 1 << QStringList{"03:", "04.", "05", "18405"};
}

void TestMainWindow::clockTexts()
{
    QFETCH(int, startMinutes);
    QFETCH(int, startSeconds);
    QFETCH(int, startCentis);
    QFETCH(int, startTicks);
    QFETCH(int, steps);
    QFETCH(QStringList, expected);

    frmMain w;
    w.minutes = startMinutes;
    w.seconds = startSeconds;
    w.centis = startCentis;
    w.ticks = startTicks;
    for (int i = 0; i < steps; ++i)
        w.TimeSlot();
    QCOMPARE(QStringList({w.clockMinutesText, w.clockSecondsText, w.clockCentisText, w.clockTicksText}), expected);
    QCOMPARE(w.ticks, startTicks + steps);
}

void TestMainWindow::finishedKeepsClockTexts()
{
    frmMain w;
    for (int i = 0; i < 150; ++i)
        w.TimeSlot();
    const QStringList atEnd{w.clockMinutesText, w.clockSecondsText, w.clockCentisText, w.clockTicksText};
    QCOMPARE(atEnd, QStringList({"00:", "01.", "50", "150"}));

    w.finished = true;
    for (int i = 0; i < 250; ++i)
        w.TimeSlot();
    QCOMPARE(w.ticks, 400); // still counted ...
    QCOMPARE(QStringList({w.clockMinutesText, w.clockSecondsText, w.clockCentisText, w.clockTicksText}),
             atEnd); // ... but not shown
}

void TestMainWindow::hotKeyHelpDefaults()
{
    QCOMPARE(frmMain::hotKeyHelpText(),
             QStringLiteral("F3重打 F4载文 F5换群 CTRL+L乱序 回车暂停 F8暂停/结束(自由模式)"));
}

void TestMainWindow::hotKeyHelp_data()
{
    QTest::addColumn<QStringList>("keys"); // Kjcd, Kjzd, Kjhq, Kjlx, Kjzt, Kjzj
    QTest::addColumn<QString>("expected");

    QTest::addRow("empty key left out") << QStringList{"F3", "F4", "", "CTRL+L", "Return", "F8"}
                                        << QStringLiteral("F3重打 F4载文 CTRL+L乱序 回车暂停 F8暂停/结束(自由模式)");
    QTest::addRow("last key empty") << QStringList{"F3", "F4", "F5", "CTRL+L", "F7", ""}
                                    << QStringLiteral("F3重打 F4载文 F5换群 CTRL+L乱序 F7暂停 ");
    QTest::addRow("Return inside a sequence") << QStringList{"Ctrl+Return", "", "", "", "", "Return"}
                                              << QStringLiteral("Ctrl+回车重打 回车暂停/结束(自由模式)");
    QTest::addRow("case matters") << QStringList{"", "", "", "", "return", ""} << QStringLiteral("return暂停 ");
    QTest::addRow("no keys at all") << QStringList{"", "", "", "", "", ""} << QString();
}

void TestMainWindow::hotKeyHelp()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, expected);
    App::Kjcd = keys.at(0);
    App::Kjzd = keys.at(1);
    App::Kjhq = keys.at(2);
    App::Kjlx = keys.at(3);
    App::Kjzt = keys.at(4);
    App::Kjzj = keys.at(5);
    QCOMPARE(frmMain::hotKeyHelpText(), expected);
}

void TestMainWindow::resultTable()
{
    frmMain w;
    auto* view = w.findChild<QTableView*>();
    QVERIFY(view);
    const QStringList headers{"速度", "击键", "码长", "字数", "时间", "回改", "退格", "回车",
                              "键数", "选重", "键准", "键法", "重打", "打词", "错字"};
    QCOMPARE(view->model()->columnCount(), headers.size());
    for (int column = 0; column < headers.size(); ++column) {
        QCOMPARE(view->model()->headerData(column, Qt::Horizontal).toString(), headers.at(column));
        QCOMPARE(view->columnWidth(column), 90);
    }
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);

    // Emptying the current row leaves 15 empty cells in it.
    w.resultModel->setItem(0, 3, new QStandardItem(QStringLiteral("120")));
    w.clearResult();
    QCOMPARE(w.resultModel->columnCount(), 15);
    for (int column = 0; column < 15; ++column)
        QVERIFY(w.resultModel->item(0, column) && w.resultModel->item(0, column)->text().isEmpty());
}

void TestMainWindow::placement_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("expectedPos");
    QTest::addColumn<QSize>("expectedSize");

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::addRow("first start") << 0 << 0 << QSize(650, 475) << QPoint(available.left(), 0) << QSize(650, 475);
    QTest::addRow("saved place") << 120 << 80 << QSize(600, 400) << QPoint(120, 80) << QSize(600, 400);
    QTest::addRow("only x zero") << 0 << 50 << QSize(650, 475) << QPoint(0, 50) << QSize(650, 475);
    QTest::addRow("too small") << 10 << 10 << QSize(100, 100) << QPoint(10, 10) << QSize(584, 335);
    QTest::addRow("too large") << 10 << 10 << QSize(20000, 20000) << QPoint(10, 10) << available.size();
}

void TestMainWindow::placement()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QSize, size);
    QFETCH(QPoint, expectedPos);
    QFETCH(QSize, expectedSize);
    App::X = x;
    App::Y = y;
    App::Width = size.width();
    App::Height = size.height();

    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.pos(), expectedPos);
    QCOMPARE(w.size(), expectedSize);
}

void TestMainWindow::paneFont_data()
{
    QTest::addColumn<QString>("font1");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pointSize");

    QTest::addRow("default") << QString() << QStringLiteral("微软雅黑") << 26;
    QTest::addRow("configured") << QStringLiteral("Serif,14,-1,5,50,0,0,0,0,0") << QStringLiteral("Serif") << 14;
}

void TestMainWindow::paneFont()
{
    QFETCH(QString, font1);
    QFETCH(QString, family);
    QFETCH(int, pointSize);
    App::Font1 = font1;
    // With the application's theme in force, as at start-up.
    QVERIFY(applyStyleSheet(QStringLiteral("silvery")));

    frmMain w;
    // The body's style sheet gives every child its small font; the panes must keep theirs when
    // shown, when their colours are set and when the theme changes.
    const auto check = [&](const char* when) {
        for (const char* name : {"textEdit", "textEdit2"}) {
            const QFont font = w.findChild<QTextEdit*>(name)->document()->defaultFont();
            QVERIFY2(font.family() == family && font.pointSize() == pointSize,
                     qPrintable(QStringLiteral("%1 %2: %3").arg(when, name, font.toString())));
        }
    };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    check("shown");
    w.findChild<QTextEdit*>("textEdit")->setStyleSheet(QStringLiteral("QTextEdit{background:#FFFFFF;color:#000000;}"));
    check("coloured");
    QVERIFY(applyStyleSheet(QStringLiteral("black")));
    check("new theme");
    if (QTest::currentTestFailed())
        return;

    // The rest of the body keeps the form's small font.
    QCOMPARE(w.findChild<QPushButton*>("button")->font().pointSize(), 10);
}

void TestMainWindow::escapeNeverCloses()
{
    frmMain w;
    QSignalSpy rejected(&w, &QDialog::rejected);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QTest::keyClick(&w, Qt::Key_Escape);
    auto* typing = w.findChild<QTextEdit*>("textEdit2");
    typing->setFocus();
    QTest::keyClick(typing, Qt::Key_Escape);
    QTest::keyClick(w.findChild<QPushButton*>("button3"), Qt::Key_Escape);
    QCoreApplication::processEvents();

    QVERIFY(w.isVisible());
    QCOMPARE(rejected.count(), 0);
}

void TestMainWindow::resultButtonsAreNotDefault()
{
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (const char* name : {"button", "button2", "button3", "button4", "button5", "button6"}) {
        auto* button = w.findChild<QPushButton*>(name);
        QVERIFY2(button, name);
        QVERIFY2(!button->autoDefault() && !button->isDefault(), name);
        QSignalSpy clicked(button, &QPushButton::clicked);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(&w, Qt::Key_Enter);
        QCOMPARE(clicked.count(), 0);
    }
    QVERIFY(w.isVisible());
}

void TestMainWindow::dragMovesAndSaves()
{
    App::X = 100;
    App::Y = 100;
    frmMain w;
    QSignalSpy moved(&w, &frmMain::zbgb);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.pos(), QPoint(100, 100));

    const QPoint grab = w.mapToGlobal(QPoint(5, 5));
    sendMouse(&w, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&w, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    sendMouse(&w, QEvent::MouseMove, grab + QPoint(40, 25), Qt::NoButton, Qt::LeftButton);
    sendMouse(&w, QEvent::MouseButtonRelease, grab + QPoint(40, 25), Qt::LeftButton, Qt::NoButton);

    QCOMPARE(w.pos(), QPoint(140, 125));
    QCOMPARE(App::X, 140);
    QCOMPARE(App::Y, 125);
    QCOMPARE(moved.count(), 2); // every step
    QCOMPARE(moved.at(0).at(0).toInt(), 130);
    QCOMPARE(moved.at(0).at(1).toInt(), 120);
    QCOMPARE(moved.at(1).at(0).toInt(), 140);
    QCOMPARE(moved.at(1).at(1).toInt(), 125);

    QSettings ini(QStringLiteral("CONFIG/settings.ini"), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("AppConfig/X")).toInt(), 140);
    QCOMPARE(ini.value(QStringLiteral("AppConfig/Y")).toInt(), 125);
}

void TestMainWindow::dragIgnoredWhenMaximisedOrReleased()
{
    App::X = 100;
    App::Y = 100;
    frmMain w;
    QSignalSpy moved(&w, &frmMain::zbgb);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // A move without a press is not a drag.
    const QPoint grab = w.mapToGlobal(QPoint(5, 5));
    sendMouse(&w, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(w.pos(), QPoint(100, 100));

    // After the release the drag is over.
    sendMouse(&w, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&w, QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);
    sendMouse(&w, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(w.pos(), QPoint(100, 100));

    // A maximised window stays where it is.
    w.maximised = true;
    sendMouse(&w, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&w, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(w.pos(), QPoint(100, 100));

    QCOMPARE(moved.count(), 0);
    QVERIFY(!QFile::exists(QStringLiteral("CONFIG/settings.ini")));
}

void TestMainWindow::publicAddress_data()
{
    QTest::addColumn<QByteArray>("reply"); // empty: the server never answers
    QTest::addColumn<QString>("expected");

    QTest::addRow("bare address") << httpReply(200, "203.0.113.7\n") << QStringLiteral("203.0.113.7");
    QTest::addRow("address in a page") << httpReply(200,
                                                    "<html><body>您的IP是：[198.51.100.23] 来自：测试</body></html>")
                                       << QStringLiteral("198.51.100.23");
    QTest::addRow("IPv6 address") << httpReply(200, "2001:db8::5") << QStringLiteral("2001:db8::5");
    QTest::addRow("server error") << httpReply(500, "203.0.113.7") << QString();
    QTest::addRow("not found") << httpReply(404, "<html>203.0.113.7</html>") << QString();
    QTest::addRow("garbage") << httpReply(200, "hello, world; nothing to see") << QString();
    QTest::addRow("number only") << httpReply(200, "42") << QString();
    QTest::addRow("out of range") << httpReply(200, "999.10.10.10") << QString();
    QTest::addRow("empty body") << httpReply(200, "") << QString();
    QTest::addRow("never answers") << QByteArray() << QString();
}

void TestMainWindow::publicAddress()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, expected);

    frmMain w;
    HttpStub stub(reply);
    QVERIFY(stub.listening());
    App::WebUrl = stub.url() + "/";
    App::PublicIp = QStringLiteral("stale");

    w.fetchPublicIp(400);
    QCOMPARE(App::PublicIp, expected);
    QCOMPARE(stub.connections, 1);
    if (!reply.isEmpty())
        QCOMPARE(stub.requestLine, QByteArray("GET /ip/visitoriphost/ HTTP/1.1"));
}

void TestMainWindow::publicAddressWithoutService()
{
    frmMain w;
    // Nothing listens on the port of a server that was closed again.
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    App::WebUrl = QStringLiteral("http://127.0.0.1:%1").arg(port);
    App::PublicIp = QStringLiteral("stale");
    w.fetchPublicIp(400);
    QVERIFY(App::PublicIp.isEmpty());

    App::WebUrl.clear();
    App::PublicIp = QStringLiteral("stale");
    w.fetchPublicIp(400);
    QVERIFY(App::PublicIp.isEmpty());
}

void TestMainWindow::clockRunsInItsThread()
{
    frmMain w;
    QVERIFY(w.clockThread->isRunning());
    QCOMPARE(w.clockTimer->thread(), w.clockThread);
    QCOMPARE(w.ticks, 0);
    QVERIFY(!w.clockRunning());

    emit w.DoStartTimer();
    QVERIFY(w.clockRunning());
    QTRY_VERIFY(w.ticks >= 5);
    QVERIFY(!w.clockMinutesText.isEmpty());

    emit w.DoStopTimer();
    // Known stopped at once on this thread, before the clock's own thread has seen the stop.
    QVERIFY(!w.clockRunning());
    // Once the clock thread has handled the stop and its last timeouts are counted, no more come.
    QMetaObject::invokeMethod(
        w.clockTimer, [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::processEvents();
    const int stoppedAt = w.ticks;
    QTest::qWait(150);
    QCOMPARE(w.ticks, stoppedAt);
}

void TestMainWindow::stopThenStartKeepsRunning()
{
    frmMain w;
    emit w.DoStartTimer();
    QTRY_VERIFY(w.ticks >= 2);

    // A stop still queued must not swallow the start that follows it.
    emit w.DoStopTimer();
    emit w.DoStartTimer();
    QVERIFY(w.clockRunning());
    QMetaObject::invokeMethod(
        w.clockTimer, [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::processEvents();
    const int before = w.ticks;
    QTRY_VERIFY(w.ticks >= before + 5);
}

void TestMainWindow::destroyWhileClockRuns()
{
    auto w = std::make_unique<frmMain>();
    QPointer<QThread> thread = w->clockThread;
    emit w->DoStartTimer();
    QTRY_VERIFY(w->ticks >= 2);
    w.reset();
    // The thread was stopped, joined and deleted; no late tick reaches a destroyed window.
    QVERIFY(thread.isNull());
    QTest::qWait(50);
}

void TestMainWindow::closeWritesChangedCollections_data()
{
    QTest::addColumn<QString>("loadedWrong");
    QTest::addColumn<QString>("loadedSlow");
    QTest::addColumn<QString>("finalWrong");
    QTest::addColumn<QString>("finalSlow");
    QTest::addColumn<bool>("wrongWritten");
    QTest::addColumn<bool>("slowWritten");

    QTest::addRow("both collected") << ""
                                    << ""
                                    << "错字"
                                    << "慢字" << true << true;
    QTest::addRow("only wrong changed") << "甲"
                                        << "乙"
                                        << "甲丙"
                                        << "乙" << true << false;
    QTest::addRow("emptied") << "甲乙"
                             << "丙"
                             << ""
                             << "" << true << true;
    QTest::addRow("unchanged and empty") << ""
                                         << ""
                                         << ""
                                         << "" << false << false;
    QTest::addRow("unchanged") << "甲"
                               << "乙"
                               << "甲"
                               << "乙" << false << false;
}

void TestMainWindow::closeWritesChangedCollections()
{
    QFETCH(QString, loadedWrong);
    QFETCH(QString, loadedSlow);
    QFETCH(QString, finalWrong);
    QFETCH(QString, finalSlow);
    QFETCH(bool, wrongWritten);
    QFETCH(bool, slowWritten);

    // The window loads the collections from their files; an unchanged collection must leave its
    // file as it was (or absent), a changed one is written even when it became empty.
    const QString wrongFile = QStringLiteral("错字收集.txt");
    const QString slowFile = QStringLiteral("慢字收集.txt");
    QFile::remove(wrongFile);
    QFile::remove(slowFile);
    if (!loadedWrong.isEmpty())
        QVERIFY(App::writeFile(wrongFile, loadedWrong));
    if (!loadedSlow.isEmpty())
        QVERIFY(App::writeFile(slowFile, loadedSlow));

    App::WrongChars.clear();
    App::SlowChars.clear();
    {
        frmMain w;
        w.show();
        QCOMPARE(App::WrongChars, loadedWrong);
        QCOMPARE(App::SlowChars, loadedSlow);
        App::WrongChars = finalWrong;
        App::SlowChars = finalSlow;
        QVERIFY(w.close());
    }
    consumeQuitRequest();

    QCOMPARE(QFile::exists(wrongFile), wrongWritten || !loadedWrong.isEmpty());
    QCOMPARE(QFile::exists(slowFile), slowWritten || !loadedSlow.isEmpty());
    QCOMPARE(App::readTextFile(wrongFile), wrongWritten ? finalWrong : loadedWrong);
    QCOMPARE(App::readTextFile(slowFile), slowWritten ? finalSlow : loadedSlow);
}

void TestMainWindow::closeButtonClosesAndSaves()
{
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    App::WrongChars = QStringLiteral("错");
    QTest::mouseClick(w.findChild<QPushButton*>("btnMenu_Close"), Qt::LeftButton);
    QTRY_VERIFY(!w.isVisible());
    consumeQuitRequest();
    QCOMPARE(App::readTextFile(QStringLiteral("错字收集.txt")), QStringLiteral("错"));
    QVERIFY(!QFile::exists(QStringLiteral("慢字收集.txt")));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
