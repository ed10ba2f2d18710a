// The code look-up and decomposition picture windows as a user meets them, with a local web site.
#include "dbsupport.h"
#include "input/bmcx.h"
#include "input/cftj.h"
#include "input/core/cfpicture.h"

#include <QClipboard>
#include <QLineEdit>
#include <QNetworkReply>
#include <QTextEdit>

namespace {

// A GIF of one pixel of data, colour 0 of the table, declaring a picture of width × height.
QByteArray gif(QRgb rgb, int width = 1, int height = 1)
{
    const auto le16 = [](int v) { return QByteArray::number((v & 0xff) << 8 | v >> 8, 16).rightJustified(4, '0'); };
    const QByteArray size = le16(width) + le16(height);
    const QByteArray colour = QByteArray::number(rgb & 0xffffff, 16).rightJustified(6, '0');
    return QByteArray::fromHex("474946383961" + size + "800000" + colour + "0000002c00000000" + size +
                               "0002024401003b");
}

// Every message logged while `action` runs.
QStringList g_logged;
QStringList loggedDuring(const std::function<void()>& action)
{
    g_logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) { g_logged << text; });
    action();
    qInstallMessageHandler(previous);
    return g_logged;
}

const QString kOwn = QStringLiteral("/Public/Cf/86cf/%1.gif");
const QString kOutside = QStringLiteral("/wubi/86tj/%1.gif");

QRgb shown(cftj& window)
{
    const QImage image = window.findChild<QLabel*>("label5")->pixmap(Qt::ReturnByValue).toImage();
    return image.isNull() ? 0 : image.pixel(0, 0);
}

void type(cftj& window, const QString& character)
{
    auto* edit = window.findChild<QLineEdit*>("lineEdit");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, character, Qt::NoModifier);
}

} // namespace

class TestCodeTools : public QObject
{
    Q_OBJECT

    QScopedPointer<TestDir> m_dir;
    QScopedPointer<ts::WebStub> m_site;

private slots:
    void initTestCase()
    {
        App::initResources();
        if (TestDb::available())
            QVERIFY(dbt::connect());
    }

    void init()
    {
        m_dir.reset();
        m_dir.reset(new TestDir);
        m_site.reset(new ts::WebStub);
        QDir().mkdir(QStringLiteral("编码文件"));
        App::writeFile(QStringLiteral("编码文件/86.txt"), QStringLiteral("中\tk\n国\tl\n甲\tlhnh\n乙\tnnll\n"));
        App::Bb = QStringLiteral("86");
        App::WebUrl = m_site->url() + "/";
        qputenv("TAVREL_CFTJ_URL", m_site->url().toUtf8());
        qputenv("TAVREL_CFTJ_DOWNLOAD_URL", "http://127.0.0.1:1/libraries");
        myHelper::exec(QStringLiteral("delete from kelm_bmsearch where dz in (?,?,?,?,?)"),
                       {"中", "国", "甲", "乙", "'"});
    }

    // A pasted text comes back with the codes of the edition's file, markup as typed.
    void lookUpPastedText()
    {
        bmcx window;
        window.show();
        QGuiApplication::clipboard()->setText(QStringLiteral("<b>中国</b>"));
        QTest::mouseClick(window.findChild<QAbstractButton*>("paste"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QAbstractButton*>("search"), Qt::LeftButton);
        QCOMPARE(window.findChild<QTextEdit*>("txt2")->toPlainText(), QStringLiteral("<b>k l </b>"));
        QTest::mouseClick(window.findChild<QAbstractButton*>("checkBox"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QAbstractButton*>("search"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QAbstractButton*>("copy"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("<b>中k 国l </b>"));

        // A file that cannot be read gives the input back; an empty input is refused before any reading.
        QVERIFY(QFile::remove("编码文件/86.txt") && QDir().mkdir("编码文件/86.txt"));
        auto* search = window.findChild<QAbstractButton*>("search");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("编码文件打不开")));
        QTest::mouseClick(search, Qt::LeftButton);
        QCOMPARE(window.findChild<QTextEdit*>("txt2")->toPlainText(), QStringLiteral("<b>中国</b>"));
        window.findChild<QTextEdit*>("txt1")->clear();
        QCOMPARE(loggedDuring([search] { QTest::mouseClick(search, Qt::LeftButton); }), QStringList());
        QCOMPARE(window.findChild<QTextEdit*>("txt2")->toPlainText(), QString());
    }

    // The library serves without a request (a character it lacks gets no picture). Without it the own site
    // fails, the outside one serves and is asked first from then on; then the download question, at once.
    void pictures()
    {
        QVERIFY(QImage::fromData(gif(qRgb(255, 0, 0))).save("red.png"));
        App::writeFile("lib.qrc", "<RCC><qresource prefix=\"/86cf\"><file alias=\"中.gif\">red.png</file>"
                                  "</qresource></RCC>");
        QCOMPARE(QProcess::execute(TAVREL_RCC, {"-binary", "lib.qrc", "-o", "编码文件/86.rcc"}), 0);
        m_site->bodies[kOutside.arg("甲")] = gif(qRgb(0, 0, 255));
        m_site->bodies[kOutside.arg("乙")] = gif(qRgb(0, 255, 0));
        QGuiApplication::clipboard()->setText(QStringLiteral("中文"));
        cftj window;
        QCOMPARE(window.findChild<QLabel*>("label3")->text(), QStringLiteral("k"));
        QCOMPARE(shown(window), qRgb(255, 0, 0));
        type(window, QStringLiteral("国"));
        QCOMPARE(shown(window), QRgb(0));

        QVERIFY(QFile::remove("编码文件/86.rcc"));
        type(window, QStringLiteral("甲"));
        QTRY_COMPARE(shown(window), qRgb(0, 0, 255));
        type(window, QStringLiteral("乙"));
        QTRY_COMPARE(shown(window), qRgb(0, 255, 0));
        for (const QString character : {QStringLiteral("中"), QStringLiteral("国")}) {
            ts::BoxAnswerer box(false);
            type(window, character);
            QTRY_COMPARE(box.seen, 1);
            QCOMPARE(box.text, QStringLiteral("缺少拆分库，是否下载？"));
        }
        QCOMPARE(m_site->requests,
                 QStringList({kOwn.arg("甲"), kOutside.arg("甲"), kOutside.arg("乙"), kOutside.arg("中")}));
    }

    // Without a download page the missing library is told, not offered.
    void missingLibraryWithoutDownloadPage()
    {
        qputenv("TAVREL_CFTJ_DOWNLOAD_URL", "");
        QGuiApplication::clipboard()->setText(QStringLiteral("中"));
        ts::BoxAnswerer box(true);
        cftj window;
        QTRY_COMPARE(box.seen, 1);
        QCOMPARE(box.title + ' ' + box.text, QStringLiteral("提示 缺少拆分库"));
    }

    // A picture declaring more than 4096 pixels on a side is not decoded, and a reply passing 4 MB is
    // dropped having read no more than one buffer beyond: the next source is asked, as for a bad reply.
    void boundedPictures_data()
    {
        QTest::addColumn<QSize>("declared");
        QTest::addColumn<qint64>("streamed"); // the reply's size, zeros following the picture
        QTest::addColumn<bool>("decoded");
        QTest::addRow("4096 wide") << QSize(4096, 1) << qint64(0) << true;
        QTest::addRow("4097 wide") << QSize(4097, 1) << qint64(0) << false;
        QTest::addRow("4097 high") << QSize(1, 4097) << qint64(0) << false;
        QTest::addRow("64 MB") << QSize(1, 1) << (qint64(64) << 20) << false;
    }
    void boundedPictures()
    {
        QFETCH(QSize, declared);
        QFETCH(qint64, streamed);
        QFETCH(bool, decoded);
        m_site->bodies[kOwn.arg("甲")] = gif(qRgb(255, 0, 0), declared.width(), declared.height());
        if (streamed) {
            m_site->streamed[kOwn.arg("甲")] = streamed;
            // Dropped for its size: a reply left stalled would end at the time limit, with no word.
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("超过 4 MB"));
        }
        m_site->bodies[kOutside.arg("甲")] = gif(qRgb(0, 0, 255));
        QGuiApplication::clipboard()->setText(QStringLiteral("甲"));
        cftj window;
        auto* reply = window.findChild<QNetworkReply*>();
        QVERIFY(reply);
        qint64 received = 0;
        connect(reply, &QNetworkReply::downloadProgress, [&](qint64 bytes, qint64) { received = bytes; });
        QTRY_COMPARE_WITH_TIMEOUT(shown(window), decoded ? qRgb(255, 0, 0) : qRgb(0, 0, 255), 20000);
        QVERIFY2(received <= (4 << 20) + CfLookup::ReadBufferBytes, qPrintable(QString::number(received)));
    }

    // The program's own site is asked only for the editions it serves, each in its own format.
    void ownSiteEditions_data()
    {
        QTest::addColumn<QString>("edition");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QString>("formats");
        QTest::addRow("98") << "98" << QStringList{"/Public/Cf/98cf/甲.jpg", "/wubi/98tj/甲.gif"} << "JPG GIF";
        QTest::addRow("other") << "郑码" << QStringList{"/wubi/郑码tj/甲.gif"} << "GIF";
    }
    void ownSiteEditions()
    {
        QFETCH(QString, edition);
        QFETCH(QStringList, requests);
        for (const QString& path : requests)
            m_site->bodies[path] = "no picture";
        QStringList formats;
        CfLookup lookup({m_site->url(), m_site->url(), false, 10000}, [&](const QByteArray&, const char* format) {
            formats << format;
            return false;
        });
        QSignalSpy noSource(&lookup, &CfLookup::downloadWanted);
        lookup.lookUp(QStringLiteral("甲"), edition);
        QTRY_COMPARE(noSource.count(), 1);
        QCOMPARE(m_site->requests, requests);
        QTEST(formats.join(' '), "formats");
    }

    // A reply for a character no longer current is neither shown nor counted and moves no level;
    // a site that never answers fails once the time is up. Web pictures are counted, bound values.
    void slowReplies()
    {
        m_site->held << kOwn.arg("甲") << kOwn.arg("中");
        m_site->bodies[kOwn.arg("甲")] = gif(qRgb(255, 0, 0));
        m_site->bodies[kOwn.arg("乙")] = gif(qRgb(255, 255, 0));
        m_site->bodies[kOutside.arg("中")] = gif(qRgb(0, 0, 255));
        QByteArrayList shown;
        CfLookup lookup({m_site->url(), m_site->url(), App::DbOnline, 300}, [&](const QByteArray& data, const char*) {
            shown << data;
            return true;
        });
        lookup.lookUp(QStringLiteral("甲"), QStringLiteral("86"));
        QTRY_COMPARE(m_site->requests.size(), 1);
        lookup.lookUp(QStringLiteral("乙"), QStringLiteral("86"));
        QTRY_COMPARE(shown, QByteArrayList{gif(qRgb(255, 255, 0))});
        for (QTcpSocket* socket : m_site->findChildren<QTcpSocket*>())
            m_site->answer(socket, kOwn.arg("甲"));
        lookup.lookUp(QStringLiteral("中"), QStringLiteral("86"));
        QTRY_COMPARE(shown.value(1), gif(qRgb(0, 0, 255)));
        QCOMPARE(m_site->requests, QStringList({kOwn.arg("甲"), kOwn.arg("乙"), kOwn.arg("中"), kOutside.arg("中")}));
        if (!App::DbOnline)
            QSKIP("no test database");
        QVERIFY(CfLookup::countLookup("'") && CfLookup::countLookup("'"));
        const QString counts =
            QStringLiteral("select group_concat(num order by dz) from kelm_bmsearch where dz in (?,?,?,?)");
        QCOMPARE(myHelper::getOne(counts, {"'", "甲", "乙", "中"}), QStringLiteral("2,1,1"));
    }
};

QTEST_MAIN(TestCodeTools)
#include "test_codetools.moc"
