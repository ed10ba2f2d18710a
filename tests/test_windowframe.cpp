// The main window's frame as a user meets it: size, tray icon, pane font, result row, files, network.
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

    // No tray runs and no application style sheet is loaded here (as with a scheme that does not exist).
    void frame()
    {
        frmMain& w = m_f->open(true);
        QVERIFY(w.findChild<QSystemTrayIcon*>()->isVisible());
        for (QTextEdit* pane : {m_f->reference(), m_f->typing()})
            QCOMPARE(QFontInfo(pane->font()).pointSize(), 26);
        w.resize(700, 500);
        QTRY_COMPARE(configFileValue("Width").toInt(), 700);
        m_f->action({"复位"})->trigger();
        QTRY_COMPARE(configFileValue("Width").toInt(), 650);
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

    // The address server streams without end: the window hangs up after a small answer.
    void endlessAddressAnswerCutShort()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        qint64 written = 0;
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            socket->write("HTTP/1.1 200 OK\r\n\r\n203.0.113.7 ");
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [&written, socket] {
                if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() == 0)
                    written += socket->write(QByteArray(64 * 1024, '7'));
            });
        });
        App::WebUrl = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
        App::DbOnline = true;
        m_f->open();
        App::DbOnline = false;
        QVERIFY(App::PublicIp.isEmpty());
        QVERIFY2(written < 16 * 1024 * 1024, qPrintable(QString::number(written)));
    }
};

QTEST_MAIN(TestWindowFrame)
#include "test_windowframe.moc"
