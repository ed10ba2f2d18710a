// The main window's frame as a user meets it: help line, placement, tray, pane font, Escape and
// default buttons, dragging, idle writes, unreadable files, the address request, clock, closing.
#include "testsupport.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QScreen>
#include <QSystemTrayIcon>

#include <algorithm>

#include <sys/stat.h>

using namespace ts;

namespace {

// The colour most of a reference character's cell shows on the screen: its background.
QColor shownBackground(QTextEdit* pane, int position)
{
    QTextCursor cursor(pane->document());
    cursor.setPosition(position);
    const QRect start = pane->cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QImage cell = pane->viewport()
                            ->grab(QRect(start.topLeft(), QPoint(pane->cursorRect(cursor).left() - 1, start.bottom())))
                            .toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            ++counts[cell.pixel(x, y)];
    return QColor(std::max_element(counts.cbegin(), counts.cend()).key());
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_f;

private slots:
    void initTestCase() { App::initResources(); }
    void init() { m_f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { m_f.reset(); }

    void hotKeyHelp_data()
    {
        QTest::addColumn<QStringList>("keys"); // Kjcd, Kjzd, Kjhq, Kjlx, Kjzt, Kjzj; "-" keeps the default
        QTest::addColumn<QString>("expected");
        QTest::addRow("defaults") << QStringList{"-", "-", "-", "-", "-", "-"}
                                  << "F3重打 F4载文 F5换群 CTRL+L乱序 回车暂停 F8暂停/结束(自由模式)";
        QTest::addRow("empty keys left out")
            << QStringList{"F3", "F4", "", "CTRL+L", "F7", ""} << "F3重打 F4载文 CTRL+L乱序 F7暂停 ";
        QTest::addRow("Return inside a sequence")
            << QStringList{"Ctrl+Return", "", "", "", "", "Return"} << "Ctrl+回车重打 回车暂停/结束(自由模式)";
    }

    // The help line is the first passage the window shows, whatever typing mode it opens in.
    void hotKeyHelp()
    {
        QFETCH(QStringList, keys);
        QString* targets[] = {&App::Kjcd, &App::Kjzd, &App::Kjhq, &App::Kjlx, &App::Kjzt, &App::Kjzj};
        for (int i = 0; i < 6; ++i)
            if (keys.at(i) != QLatin1String("-"))
                *targets[i] = keys.at(i);
        for (int pattern : {0, 1, 2}) {
            App::Pattern = pattern;
            m_f->open();
            if (pattern == FreeTyping) // the passage shows once the mode changes
                m_f->action({"模式", "\t跟打模式"})->trigger();
            QTEST(m_f->reference()->toPlainText(), "expected");
            QCOMPARE(m_f->statusText("标题"), QStringLiteral("标题: 快捷键介绍"));
        }
    }

    // A settings file the trainer did not write, an older one or random bytes, starts the window as
    // the defaults make it: whole, with its help passage, result buttons and working hot keys, the
    // reference pane in its colours; the file as it was is kept aside.
    void damagedSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("older file") << QByteArray("[AppConfig]\nStyle=black\nRc=notacolour\n");
        QByteArray noise(6000, '\0');
        QRandomGenerator(30).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QTest::addRow("random bytes") << noise;
    }

    void damagedSettingsFile()
    {
        QFETCH(QByteArray, bytes);
        QDir().mkpath(QStringLiteral("CONFIG"));
        QFile file(QStringLiteral("CONFIG/settings.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        App::readConfig();
        frmMain& w = m_f->open(true);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.size(), QSize(650, 475));
        // (blanks taken out and punctuation made full-width, as the defaults clean a passage)
        QCOMPARE(m_f->reference()->toPlainText(),
                 QStringLiteral("F3重打F4载文F5换群CTRL+L乱序回车暂停F8暂停/结束（自由模式）"));
        QCOMPARE(m_f->statusText("标题"), QStringLiteral("标题: 快捷键介绍"));
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("horizontalLayoutWidget"))->isVisibleTo(&w));
        m_f->lay(QStringLiteral("春眠不觉晓"));
        m_f->type(QStringLiteral("春x"));
        QCOMPARE((QList<QColor>{shownBackground(m_f->reference(), 0), shownBackground(m_f->reference(), 1),
                                shownBackground(m_f->reference(), 3)}),
                 (QList<QColor>{"#707070", "#ff3030", "#f4f7fc"}));
        QTest::keyClick(&w, Qt::Key_F3); // retype
        QVERIFY(m_f->typing()->toPlainText().isEmpty());
        QFile kept(QStringLiteral("CONFIG/settings.ini.bad"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("saved"); // App::X, Y, Width, Height
        QTest::addColumn<QRect>("expected");
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const int right = available.right() + 1 - 650;
        const int bottom = available.bottom() + 1 - 475;
        QTest::addRow("first start") << QRect(0, 0, 650, 475) << QRect(available.left(), 0, 650, 475);
        // Left at an edge of the screen, it opens there again.
        QTest::addRow("left edge") << QRect(0, 120, 650, 475) << QRect(0, 120, 650, 475);
        QTest::addRow("top edge") << QRect(90, 0, 650, 475) << QRect(90, 0, 650, 475);
        QTest::addRow("too small") << QRect(10, 10, 100, 100) << QRect(10, 10, 0, 0); // the layout's least
        QTest::addRow("too large") << QRect(10, 10, 20000, 20000) << available;
        // A place saved on a larger screen, or by a drag over the edge, comes back whole.
        QTest::addRow("fits at the corner") << QRect(right, bottom, 650, 475) << QRect(right, bottom, 650, 475);
        QTest::addRow("far off, bottom right")
            << QRect(available.right() + 500, available.bottom() + 400, 650, 475) << QRect(right, bottom, 650, 475);
    }

    // The window opens whole on the screen.
    void placement()
    {
        QFETCH(QRect, saved);
        QFETCH(QRect, expected);
        App::X = saved.x();
        App::Y = saved.y();
        App::Width = saved.width();
        App::Height = saved.height();
        frmMain& w = m_f->open(true);
        if (expected.isEmpty()) {
            // No least size of its own: the layout's, which the texts shown at the start settle.
            QTRY_COMPARE(w.minimumSize(), w.minimumSizeHint());
            QCOMPARE(w.width(), w.minimumWidth());
            expected.setSize(w.size());
        }
        QCOMPARE(QRect(w.pos(), w.size()), expected);
        QCOMPARE(QPoint(App::X, App::Y), expected.topLeft());
    }

    // A colour change shows at once on every character of the reference pane, typed or not.
    void colourChangeRepaintsPane()
    {
        App::Dbj = QStringLiteral("#e0e0e0");
        App::Rc = QStringLiteral("#a0a0a0");
        App::Wc = QStringLiteral("#c00000");
        m_f->open(true);
        m_f->lay(QStringLiteral("春眠不觉晓处处闻啼鸟"));
        m_f->type(QStringLiteral("春x"));
        const struct
        {
            QStringList path;
            int position; // 0 typed right, 1 typed wrong, 3 untyped
            QColor colour;
        } changes[] = {{{"功能", "外观", "背景颜色\t", "对照区"}, 3, "#123456"},
                       {{"功能", "外观", "对错色\t", "打对色"}, 0, "#123456"},
                       {{"功能", "外观", "对错色\t", "打错色"}, 1, "#123456"},
                       {{"功能", "外观", "外观重置"}, 1, "#ff3030"}};
        for (const auto& change : changes) {
            QVERIFY(shownBackground(m_f->reference(), change.position) != change.colour);
            ModalAnswerer pick([&change](QWidget* widget) {
                qobject_cast<QColorDialog*>(widget)->setCurrentColor(change.colour);
                static_cast<QDialog*>(widget)->accept();
            });
            m_f->action(change.path)->trigger();
            QVERIFY2(shownBackground(m_f->reference(), change.position) == change.colour,
                     qPrintable(change.path.last()));
        }
    }

    // No tray runs and no application style sheet is loaded here (as with a scheme that does not
    // exist); Escape and Return do nothing: no result button is a default button.
    void frame()
    {
        frmMain& w = m_f->open(true);
        QVERIFY(w.findChild<QSystemTrayIcon*>()->isVisible());
        QSignalSpy rejected(&w, &QDialog::rejected);
        QTest::keyClick(&w, Qt::Key_Escape);
        m_f->typing()->setFocus();
        QTest::keyClick(m_f->typing(), Qt::Key_Escape);
        for (const char* name : {"button", "button2", "button3", "button4", "button5", "button6"}) {
            QPushButton* button = m_f->button(name);
            QSignalSpy clicked(button, &QPushButton::clicked);
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
            QTest::keyClick(&w, Qt::Key_Enter);
            QTest::keyClick(button, Qt::Key_Escape);
            QVERIFY2(clicked.isEmpty(), name);
        }
        QVERIFY(w.isVisible());
        QVERIFY(rejected.isEmpty());

        for (QTextEdit* pane : {m_f->reference(), m_f->typing()})
            QCOMPARE(QFontInfo(pane->font()).pointSize(), 26);
        // Also once a run has ended, when the typing pane is restyled.
        m_f->lay(QStringLiteral("ab"));
        m_f->type(QStringLiteral("ab"));
        QVERIFY(!m_f->waitLine().isEmpty());
        QCOMPARE(QFontInfo(m_f->typing()->font()).pointSize(), 26);
    }

    void dragAndResizeSaveGeometry()
    {
        App::X = App::Y = 100;
        frmMain& w = m_f->open(true);
        QSignalSpy moved(&w, &frmMain::zbgb);
        QCoreApplication::processEvents();
        QVERIFY(!configFileWritten()); // shown at its saved place and size: nothing to save
        const QPoint grab = w.mapToGlobal(QPoint(5, 5));
        sendMouse(&w, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&w, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
        sendMouse(&w, QEvent::MouseMove, grab + QPoint(40, 25), Qt::NoButton, Qt::LeftButton);
        QVERIFY(!configFileWritten()); // the settings are written once, when the drag ends
        sendMouse(&w, QEvent::MouseButtonRelease, grab + QPoint(40, 25), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(w.pos(), QPoint(140, 125));
        QCOMPARE(moved.size(), 2); // every step
        QCOMPARE(moved.at(0), QVariantList({130, 120}));
        QCOMPARE(configFileValue("X").toInt(), 140);
        QCOMPARE(configFileValue("Y").toInt(), 125);
        // After the release, or maximised, the window stays where it is.
        sendMouse(&w, QEvent::MouseMove, grab + QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(w.pos(), QPoint(140, 125));
        QTest::mouseClick(m_f->button("btnMenu_Max"), Qt::LeftButton);
        const QPoint maximised = w.pos();
        const QPoint corner = w.mapToGlobal(QPoint(5, 5));
        sendMouse(&w, QEvent::MouseButtonPress, corner, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&w, QEvent::MouseMove, corner + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
        sendMouse(&w, QEvent::MouseButtonRelease, corner + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(w.pos(), maximised);
        QCOMPARE(moved.size(), 2);
        QTest::mouseClick(m_f->button("btnMenu_Max"), Qt::LeftButton);
        QCOMPARE(w.pos(), QPoint(140, 125)); // restored where it was dragged to, not where it opened

        w.resize(700, 420);
        QTRY_COMPARE(configFileValue("Width").toInt(), 700);
        QCOMPARE(configFileValue("Height").toInt(), 420);
    }

    // The sending-state panel and the speed curve go along when the window is dragged, and where they
    // must lie over it they leave its title bar and menu bar whole; the boss key hides and shows the
    // panel with the window while a text is being sent.
    void sideWindowsFollowAndHide()
    {
        App::X = 150; // the window fills the right of the screen: nowhere beside it has room
        App::Y = 20;
        frmMain& w = m_f->open(true);
        w.infoRecv(100, QStringLiteral("跟随"), QString(250, QChar(0x5B57)), QString(100, QChar(0x5B57)), QString());
        w.showSlot();
        QHash<QString, QWidget*> shown; // the windows on screen by name
        for (QWidget* window : QApplication::topLevelWidgets())
            shown[window->isVisible() ? window->objectName() : QString()] = window;
        QWidget* panel = shown.value("Fwstate");
        QWidget* curve = shown.value("quxian");
        QVERIFY(panel && curve);
        const QMenuBar* menus = w.findChild<QMenuBar*>();
        const int bars = menus->mapTo(&w, QPoint(0, menus->height())).y();
        QVERIFY(bars > 40);
        // The panel to the left and the curve where it covers least, within the screen, both below
        // the bars.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const auto belowBars = [&] {
            return panel->pos() == QPoint(0, w.y() + bars) && screen.contains(curve->geometry()) &&
                   curve->y() >= w.y() + bars;
        };
        QVERIFY(belowBars());
        const QPoint grab = w.mapToGlobal(QPoint(5, 5));
        sendMouse(&w, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&w, QEvent::MouseMove, grab + QPoint(0, 20), Qt::NoButton, Qt::LeftButton);
        sendMouse(&w, QEvent::MouseButtonRelease, grab + QPoint(0, 20), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(w.pos(), QPoint(150, 40));
        QVERIFY(belowBars());
        for (const bool visible : {false, true}) {
            w.activated();
            QCOMPARE((QList<bool>{w.isVisible(), panel->isVisible()}), (QList<bool>{visible, visible}));
        }
    }

    void publicAddress_data()
    {
        // 0: never answers; 1: answers once the window is open; -1: nothing listens; -2: streams
        // without end, and the window hangs up after a small answer.
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::addRow("bare address") << 200 << QByteArray("203.0.113.7\n") << "203.0.113.7";
        QTest::addRow("bare IPv6 address") << 200 << QByteArray("2001:db8::7\n") << "2001:db8::7";
        QTest::addRow("address in a page")
            << 200 << QByteArray("<html>您的IP是：[198.51.100.23] 来自</html>") << "198.51.100.23";
        QTest::addRow("server error") << 500 << QByteArray("203.0.113.7") << "";
        QTest::addRow("garbage") << 200 << QByteArray("hello, 999.10.10.10; 42") << "";
        QTest::addRow("never answers") << 0 << QByteArray() << "";
        QTest::addRow("answers late") << 1 << QByteArray("203.0.113.7") << "203.0.113.7";
        QTest::addRow("nothing listens") << -1 << QByteArray() << "";
        QTest::addRow("endless answer") << -2 << QByteArray() << "";
    }

    // Opened online, the window asks the web server for the public address.
    void publicAddress()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        const QString path = QStringLiteral("/ip/visitoriphost/");
        WebStub stub;
        stub.bodies[path] = body;
        stub.status = status == 1 ? 200 : status;
        if (status == 0 || status == 1)
            stub.held << path;
        // Port 1 is privileged: nothing of ours listens there.
        App::WebUrl = status == -1 ? QStringLiteral("http://127.0.0.1:1/") : stub.url() + "/";
        qint64 written = 0;
        QTcpServer endless;
        if (status == -2) {
            QVERIFY(endless.listen(QHostAddress::LocalHost, 0));
            QObject::connect(&endless, &QTcpServer::newConnection, &endless, [&] {
                QTcpSocket* socket = endless.nextPendingConnection();
                socket->write("HTTP/1.1 200 OK\r\n\r\n203.0.113.7 ");
                QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [&written, socket] {
                    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() == 0)
                        written += socket->write(QByteArray(64 * 1024, '7'));
                });
            });
            App::WebUrl = QStringLiteral("http://127.0.0.1:%1/").arg(endless.serverPort());
        }
        App::PublicIp = QStringLiteral("stale");
        App::DbOnline = true;
        m_f->open();
        App::DbOnline = false;
        if (status == 1) {
            QTRY_COMPARE(stub.requests.size(), 1);
            stub.answer(stub.findChild<QTcpSocket*>(), path);
        }
        QFETCH(QString, expected);
        QTRY_COMPARE(App::PublicIp, expected);
        QTRY_COMPARE(stub.requestLines,
                     status < 0 ? QByteArrayList() : QByteArrayList{"GET " + path.toLatin1() + " HTTP/1.1"});
        QVERIFY2(written < 16 * 1024 * 1024, qPrintable(QString::number(written)));
    }

    // The clock runs in its own thread; its state is known at once on the GUI thread, and a stop
    // still queued there must not swallow the start that follows it.
    void runClock()
    {
        frmMain& w = m_f->open();
        m_f->lay(QStringLiteral("abcdef"));
        QVERIFY(!w.clockRunning());
        m_f->type(QStringLiteral("a"));
        QVERIFY(w.clockRunning());
        const auto shownTime = [this] { return m_f->cell(0, "时间"); };
        const QString started = shownTime();
        QTRY_VERIFY(shownTime() != started);

        emit w.DoStopTimer();
        QVERIFY(!w.clockRunning());
        QTest::qWait(50); // ticks already queued are taken
        const QString stopped = shownTime();
        QTest::qWait(50);
        QCOMPARE(shownTime(), stopped);

        emit w.DoStartTimer();
        emit w.DoStopTimer();
        emit w.DoStartTimer();
        QVERIFY(w.clockRunning());
        QTRY_VERIFY(shownTime() != stopped);
        // The fixture destroys the window with its clock running: the thread is stopped and joined.
    }

    void closeWritesChangedCollections_data()
    {
        QTest::addColumn<QStringList>("loaded"); // wrong, slow
        QTest::addColumn<QStringList>("final");
        QTest::addRow("both collected") << QStringList{"", ""} << QStringList{"错字", "慢字"};
        QTest::addRow("only wrong changed") << QStringList{"甲", "乙"} << QStringList{"甲丙", "乙"};
        QTest::addRow("emptied") << QStringList{"甲乙", "丙"} << QStringList{"", ""};
        QTest::addRow("unchanged") << QStringList{"甲", ""} << QStringList{"甲", ""};
    }

    // An unchanged collection leaves its file as it was (or absent); a changed one is written,
    // even when it became empty.
    void closeWritesChangedCollections()
    {
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, final);
        const QStringList files{QStringLiteral("错字收集.txt"), QStringLiteral("慢字收集.txt")};
        QString* globals[] = {&App::WrongChars, &App::SlowChars};
        for (int i = 0; i < 2; ++i)
            if (!loaded.at(i).isEmpty())
                QVERIFY(App::writeFile(files.at(i), loaded.at(i)));
        m_f->open(true);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(*globals[i], loaded.at(i));
            *globals[i] = final.at(i);
        }
        m_f->close();
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(QFile::exists(files.at(i)), loaded.at(i) != final.at(i) || !loaded.at(i).isEmpty());
            QCOMPARE(App::readTextFile(files.at(i)), final.at(i));
        }
    }

    // An idle run writes only the cells whose text changes (time, speed, key rate); nothing while
    // the row is not shown live.
    void idleTicksWriteLittle()
    {
        App::ShiShi = true;
        m_f->open();
        m_f->lay(QStringLiteral("abcdefgh"));
        m_f->type(QStringLiteral("ab"));
        for (const bool live : {true, false}) {
            App::ShiShi = live;
            QTest::qWait(100);
            QSignalSpy written(m_f->table(), &QAbstractItemModel::dataChanged);
            QTest::qWait(300);
            QSet<int> columns;
            for (const QList<QVariant>& change : written)
                columns << change[0].toModelIndex().column() << change[1].toModelIndex().column();
            // One write a cell for each showing of the row, about ten in the time.
            QVERIFY2(columns.size() <= (live ? 3 : 0) && written.size() <= 12 * columns.size(),
                     qPrintable(QString::number(written.size())));
        }
    }

    void unreadableFileClearsReference()
    {
        const QString fifo = m_f->dir().file(QStringLiteral("管道.txt"));
        QCOMPARE(mkfifo(fifo.toUtf8().constData(), 0600), 0);
        m_f->open();
        m_f->lay(QStringLiteral("旧的文章"));
        std::unique_ptr<ModalAnswerer> warning;
        ModalAnswerer chosen([&](QWidget* dialog) {
            warning = std::make_unique<ModalAnswerer>([](QWidget* box) { box->close(); });
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(fifo);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        m_f->action({"发文", "打开"})->trigger();
        QVERIFY(warning && warning->seen == 1);
        QCOMPARE(m_f->reference()->toPlainText(), QString());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
