// The main window's frame as a user meets it.
#include "testsupport.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTcpServer>
#include <QTcpSocket>

#include <sys/stat.h>

using namespace ts;

class TestWindowFrame : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_f;

private slots:
    void initTestCase() { App::initResources(); }
    void init() { m_f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { m_f.reset(); }

    void resetSizeIsSaved()
    {
        frmMain& w = m_f->open(true);
        w.resize(700, 500);
        QTRY_COMPARE(configFileValue("Width").toInt(), 700);
        m_f->action({"复位"})->trigger();
        QTRY_COMPARE(configFileValue("Width").toInt(), 650);
        QCOMPARE(configFileValue("Height").toInt(), 475);
    }

    // No tray runs here: the icon is shown all the same, for a tray that starts later.
    void trayIconShownWithoutTray()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        frmMain& w = m_f->open();
        auto* icon = w.findChild<QSystemTrayIcon*>();
        QVERIFY(icon && icon->isVisible());
    }

    // The tests load no application style sheet, as when the configured scheme does not exist.
    void paneFontWithoutStyleSheet()
    {
        QVERIFY(qApp->styleSheet().isEmpty());
        m_f->open(true);
        for (QTextEdit* pane : {m_f->reference(), m_f->typing()})
            QCOMPARE(QFontInfo(pane->font()).pointSize(), 26);
    }
    // A server streaming without end: the window stops reading past a small answer and hangs up,
    // so the server gets to write little more than the socket buffers hold.
    void endlessAddressAnswerCutShort()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        qint64 written = 0;
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            const auto more = [&written, socket] {
                if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() == 0)
                    written += socket->write(QByteArray(64 * 1024, '7'));
            };
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n203.0.113.7 ");
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        });
        App::WebUrl = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
        App::DbOnline = true;
        m_f->open();
        App::DbOnline = false;
        QVERIFY(App::PublicIp.isEmpty());
        QVERIFY2(written < 16 * 1024 * 1024, qPrintable(QString::number(written)));
    }

    void idleTicksWriteLittle_data()
    {
        QTest::addColumn<bool>("live"); // ShiShi
        QTest::addRow("live row") << true;
        QTest::addRow("no live row") << false;
    }

    // A run left idle writes only the cells whose text changes (time, speed, key rate), and
    // nothing at all while the row is not shown live.
    void idleTicksWriteLittle()
    {
        QFETCH(bool, live);
        App::ShiShi = live;
        m_f->open();
        m_f->lay(QStringLiteral("abcdefgh"));
        m_f->type(QStringLiteral("ab"));
        QTest::qWait(100); // the first ticks fill the row
        QSignalSpy written(m_f->table(), &QAbstractItemModel::dataChanged);
        QTest::qWait(300);
        QSet<int> columns;
        for (const QList<QVariant>& change : written)
            for (int c = change[0].toModelIndex().column(); c <= change[1].toModelIndex().column(); ++c)
                columns << c;
        QVERIFY2(live ? columns.size() <= 3 : written.isEmpty(), qPrintable(QString::number(columns.size())));
    }

    void unreadableFileClearsReference()
    {
        const QByteArray fifo = m_f->dir().file(QStringLiteral("管道.txt")).toUtf8();
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        m_f->open();
        m_f->lay(QStringLiteral("旧的文章"));
        std::unique_ptr<ModalAnswerer> warning;
        ModalAnswerer chosen([&](QWidget* widget) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            QVERIFY(dialog);
            warning = std::make_unique<ModalAnswerer>([](QWidget* box) { QMetaObject::invokeMethod(box, "accept"); });
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QString::fromUtf8(fifo));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        m_f->action({"发文", "打开"})->trigger();
        QVERIFY(warning && warning->seen == 1);
        QCOMPARE(m_f->reference()->toPlainText(), QString());
    }
};

QTEST_MAIN(TestWindowFrame)
#include "test_windowframe.moc"
