// The stores on disk beside the settings file: the record in the native store, progress files and
// text files, each with its bad cases: garbled values, files that are not regular files, failed writes.
#include "app/core/app.h"
#include "app/core/progressstore.h"
#include "filesupport.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QTextCodec>

#include <atomic>
#include <climits>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kConfigFile = QStringLiteral("CONFIG/settings.ini");
using ts::readRaw;
using ts::underSmallFileLimit;
using ts::writeRaw;
const QString kFolder = QStringLiteral("跟打进度");

// FIFOs in place of files. A reader that opens one would wait for a writer for ever; one comes
// as soon as a reader waits, so a wrong open ends at once, having read nothing, and is counted.
struct Fifos
{
    explicit Fifos(const QStringList& paths)
    {
        for (const QString& path : paths) {
            QDir().mkpath(QFileInfo(path).path());
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
            names << QFile::encodeName(path);
        }
        writer = std::thread([this] {
            for (; !stop; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
                for (const QByteArray& name : names) {
                    if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                        ::close(fd);
                        ++opened;
                    }
                }
            }
        });
    }
    ~Fifos()
    {
        stop = true;
        writer.join();
    }
    QList<QByteArray> names;
    std::atomic<bool> stop{false};
    std::atomic<int> opened{0}; // times a reader had one open
    std::thread writer;
};

} // namespace

class TestStores : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDir> m_dir;

private slots:
    void initTestCase() { App::initResources(); }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        App::resetConfig();
    }
    void cleanup() { m_dir.reset(); }

    // The environment's values win; a set but empty host switches a built-in server off, and a
    // broken port falls back, logged.
    void deploymentFromEnvironment()
    {
        qputenv("TAVREL_DB_HOST", "127.0.0.1");
        qputenv("TAVREL_DB_PORT", "33061");
        qputenv("TAVREL_DB_USER", "typist");
        qputenv("TAVREL_DB_PASSWORD", "pw;with=odd chars");
        App::loadDeployment();
        QCOMPARE((QStringList{App::DbHost, QString::number(App::DbPort), App::DbUser, App::DbPassword}),
                 (QStringList{"127.0.0.1", "33061", "typist", "pw;with=odd chars"}));
        qputenv("TAVREL_DB_HOST", "");
        qputenv("TAVREL_DB_PORT", "abc");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("TAVREL_DB_PORT")));
        App::loadDeployment();
        QVERIFY(App::DbHost.isEmpty() && App::DbPort == 3306);
    }

    // The record: in its own store, read back whole, zero or empty where nothing is stored, and
    // numbers out of range clamped into their sane range, never wrapped.
    void recordStore()
    {
        const auto record = [] {
            return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                       .arg(App::Day, App::Day2, App::CurrentUserName, App::CurrentUserPwd, QString::number(App::Jilu),
                            QString::number(App::TempJilu), QString::number(App::Totaljs),
                            QString::number(App::Totalti), QString::number(App::Totalco)) +
                   QStringLiteral("|%1|%2|%3|%4|%5|%6")
                       .arg(App::RecordUser)
                       .arg(App::RecordClearPending)
                       .arg(App::RecordClearUser, App::TotalsClearUser, App::RecordSyncUser, App::OwedRecords);
        };
        App::Day = QStringLiteral("2016-12-26");
        App::Day2 = QStringLiteral("2017-01-02");
        App::CurrentUserName = QStringLiteral("跟打者");
        App::CurrentUserPwd = QStringLiteral("p@ss 密码");
        App::Jilu = 123456;
        App::TempJilu = 789;
        App::Totaljs = 98765;
        App::Totalti = 3600.25;
        App::Totalco = 54321;
        App::RecordUser = QStringLiteral("记录者");
        App::RecordClearPending = true;
        App::RecordClearUser = QStringLiteral("清空者");
        App::TotalsClearUser = QStringLiteral("清空者");
        App::RecordSyncUser = QStringLiteral("记录者");
        App::OwedRecords = QStringLiteral(R"([{"user":"欠者","today":5}])");
        const QString stored = record();
        App::writeStats();
        const QString file = QSettings(QStringLiteral("VEK Helper"), QStringLiteral("VEK")).fileName();
        QVERIFY(file.startsWith(m_dir->path()) && QFile::exists(file));
        QCOMPARE(ts::storedRecord(QStringLiteral("CurrentUserPwd")).toString(), App::CurrentUserPwd); // plain text
        // Byte for byte what earlier versions wrote, and the keys they did not know beside them, so that
        // each reads the other's record.
        QCOMPARE(readRaw(file),
                 QByteArray("[VekConfig]\nCurrentUserName=\\x8ddf\\x6253\\x8005\n"
                            "CurrentUserPwd=p@ss \\x5bc6\\x7801\nDay=2016-12-26\nDay2=2017-01-02\n"
                            "Jilu=123456\nOwedRecords=\"[{\\\"user\\\":\\\"\\x6b20\\x8005\\\",\\\"today\\\":5}]\"\n"
                            "RecordClearPending=true\nRecordClearUser=\\x6e05\\x7a7a\\x8005\n"
                            "RecordSyncUser=\\x8bb0\\x5f55\\x8005\n"
                            "RecordUser=\\x8bb0\\x5f55\\x8005\nTempJilu=789\nTotalco=54321\n"
                            "Totaljs=98765\nTotalsClearUser=\\x6e05\\x7a7a\\x8005\nTotalti=3600.25\n"));
        QVERIFY(QDir().rename(QStringLiteral("native"), QStringLiteral("away")));
        App::readStats();
        QCOMPARE(record(), QStringLiteral("||||0|0|0|0|0||0||||"));
        QVERIFY(QDir().rename(QStringLiteral("away"), QStringLiteral("native")));
        App::readStats();
        QCOMPARE(record(), stored);
        // A store from before a clearing kept its account: the pending clearing is the record's account's.
        QSettings(QStringLiteral("VEK Helper"), QStringLiteral("VEK"))
            .remove(QStringLiteral("VekConfig/RecordClearUser"));
        App::readStats();
        QCOMPARE(App::RecordClearUser, App::RecordUser);
        // Totalco holds no integer: zero, as the toolkit reads it.
        writeRaw(file, "[VekConfig]\nTotaljs=99999999999\nJilu=-5\nTempJilu=12\nTotalti=-1\nTotalco=1e3\n");
        App::readStats();
        QCOMPARE(record(), QStringLiteral("||||0|12|%1|0|0||0||||").arg(INT_MAX));
    }

    // Start-up reads the current text's total from the program's folder, not the working one.
    void progressFileInProgramFolder()
    {
        App::Zdname = QStringLiteral("启动%1").arg(QCoreApplication::applicationPid());
        const QString file = QCoreApplication::applicationDirPath() + "/跟打进度/" + App::Zdname + ".ini";
        const auto removeFile = qScopeGuard([&] { QFile::remove(file); });
        App::SendText = QString(1000, QChar(0x5B57));
        App::readProgress();
        QCOMPARE(App::Zdzs, 1000);
        QVERIFY(readRaw(file).contains("Zdzs=1000"));
        QVERIFY(!QFileInfo::exists(kFolder));
    }

    // Names come from chats and servers: each maps to one file directly in the folder, neither
    // nameless nor hidden, and a mapped name maps to itself, so a listed file is found by its name.
    void progressNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addRow("plain") << QStringLiteral("v1.2 第一篇") << QStringLiteral("v1.2 第一篇");
        QTest::addRow("climbs") << QStringLiteral("../../etc/x") << QStringLiteral("____etc_x");
        QTest::addRow("backslash climb") << QStringLiteral("..\\x") << QStringLiteral("__x");
        QTest::addRow("dots inside") << QStringLiteral("第1..2章") << QStringLiteral("第1_2章");
        QTest::addRow("three dots") << QStringLiteral("...") << QStringLiteral("_.");
        QTest::addRow("empty") << QString() << QStringLiteral("_");
        QTest::addRow("hidden") << QStringLiteral(".隐藏") << QStringLiteral("_.隐藏");
        QTest::addRow("NUL") << QString::fromUtf16(u"a\0b", 3) << QStringLiteral("a_b");
        QTest::addRow("tab kept") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
    }
    void progressNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        const ProgressStore store(m_dir->path());
        QString saved;
        QString error;
        QVERIFY(store.saveText(name, QStringLiteral("余下"), &saved, &error));
        QCOMPARE(saved, file);
        QCOMPARE(ts::progressTotal(store, name, 250), 250);
        QCOMPARE(QDir(store.folder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({file + ".ini", file + ".txt"}));
        QCOMPARE(store.readText(saved, nullptr), QStringLiteral("余下"));
        QCOMPARE(ts::progressTotal(store, saved, 2), 250);
    }

    // The total of a text: its length at the first read that has one, then kept; read as a count
    // from 0 up, the file left as it is.
    void progressTotals_data()
    {
        QTest::addColumn<QByteArray>("stored"); // empty: no file
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("later"); // read again with a length of 7
        QTest::addRow("new text") << QByteArray() << 1000 << 1000 << 1000;
        QTest::addRow("empty text records nothing") << QByteArray() << 0 << 0 << 7;
        QTest::addRow("recorded") << QByteArray("Zdzs=1000") << 5 << 1000 << 1000;
        QTest::addRow("garbled") << QByteArray("Zdzs=abc") << 5 << 0 << 0;
        QTest::addRow("no key") << QByteArray("Other=5") << 5 << 0 << 0;
        QTest::addRow("too large") << QByteArray("Zdzs=4294967297") << 5 << INT_MAX << INT_MAX;
        QTest::addRow("negative") << QByteArray("Zdzs=-500") << 5 << 0 << 0;
    }
    void progressTotals()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, length);
        const ProgressStore store(m_dir->path());
        const QString file = store.folder() + QStringLiteral("/文.ini");
        if (!stored.isEmpty())
            writeRaw(file, "[AppConfig]\n" + stored + "\n");
        QTEST(ts::progressTotal(store, QStringLiteral("文"), length), "total");
        if (!stored.isEmpty())
            QCOMPARE(readRaw(file), "[AppConfig]\n" + stored + "\n");
        QTEST(ts::progressTotal(store, QStringLiteral("文"), 7), "later");
    }

    // Files saved while ".." stayed in a name are still found, and written back where they are.
    void progressUnderEarlierNames()
    {
        const ProgressStore store(m_dir->path());
        writeRaw(store.folder() + QStringLiteral("/第1..2章.txt"), "旧的余下");
        writeRaw(store.folder() + QStringLiteral("/第1..2章.ini"), "[AppConfig]\nZdzs=250\n");
        QString saved;
        QString error;
        QVERIFY(store.saveText(QStringLiteral("第1..2章"), QStringLiteral("余下"), &saved, &error));
        QCOMPARE(store.readText(saved, nullptr), QStringLiteral("余下"));
        QCOMPARE(ts::progressTotal(store, saved, 2), 250);
        QCOMPARE(QDir(store.folder()).entryList(QDir::Files), QStringList({"第1..2章.ini", "第1..2章.txt"}));
    }

    // A FIFO (or any file that is not a regular one) under a store's or a text's name counts as
    // unreadable: nothing blocks, the values in memory stay, and it is not written over.
    void onlyRegularFilesOpened()
    {
        App::Zdname = QStringLiteral("管道%1").arg(QCoreApplication::applicationPid());
        App::SendText = QStringLiteral("十个字的一段文字啊");
        App::Jilu = 7;
        const ProgressStore progress; // in the program's folder
        const QStringList paths = {kConfigFile,
                                   QSettings(QStringLiteral("VEK Helper"), QStringLiteral("VEK")).fileName(),
                                   progress.path(App::Zdname, QStringLiteral(".ini")),
                                   progress.path(App::Zdname, QStringLiteral(".txt")), QStringLiteral("a.txt")};
        Fifos fifos(paths);
        const auto removeProgress = qScopeGuard([&] {
            QFile::remove(paths.at(2));
            QFile::remove(paths.at(3));
        });
        bool ok = true;
        App::readConfig();
        App::readStats();
        App::readProgress();
        App::readTextFile(paths.last(), &ok);
        App::writeConfig();
        App::writeStats();
        QString saved;
        QString error;
        QVERIFY(!progress.saveText(App::Zdname, QStringLiteral("余下"), &saved, &error) && !error.isEmpty());
        QCOMPARE(App::Fanye, 500);
        QCOMPARE(App::Jilu, 7);
        QCOMPARE(App::Zdzs, App::SendText.size());
        QVERIFY(!ok);
        QCOMPARE(fifos.opened.load(), 0);
        for (const QString& path : paths)
            QVERIFY2(QFileInfo::exists(path) && !QFileInfo(path).isFile(), qPrintable(path));
    }

    // Links in the progress folder (outside or dangling) are neither listed, read nor written through,
    // nor is a name that would not open (a backslash is saved as "_"); a failed save keeps the old file.
    void progressLinksNotFollowed()
    {
        const ProgressStore store(m_dir->path());
        writeRaw(QStringLiteral("outside"), "[AppConfig]\nZdzs=999\n");
        writeRaw(store.folder() + QStringLiteral("/own.txt"), "旧的余下");
        writeRaw(store.folder() + QStringLiteral("/a\\b.txt"), "别处");
        for (const QString suffix : {".txt", ".ini"}) {
            QVERIFY(QFile::link(m_dir->file("outside"), store.folder() + "/link" + suffix));
            QVERIFY(QFile::link(m_dir->file("nowhere" + suffix), store.folder() + "/gone" + suffix));
        }
        QCOMPARE(store.names(), QStringList({"own"}));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("link\\.txt")));
        bool ok = true;
        QVERIFY(store.readText(QStringLiteral("link"), &ok).isEmpty() && !ok);
        QString saved, error;
        for (const QString name : {"link", "gone"}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(name + QStringLiteral("\\.ini")));
            QCOMPARE(ts::progressTotal(store, name, 5), 5);
            QVERIFY(!store.saveText(name, QStringLiteral("新的"), &saved, &error) && !error.isEmpty());
        }
        // Nothing written outside, nor where the dangling links point.
        QCOMPARE(readRaw(QStringLiteral("outside")), QByteArray("[AppConfig]\nZdzs=999\n"));
        QCOMPARE(QDir().entryList(QDir::Files), QStringList({"outside"}));

        QVERIFY(!underSmallFileLimit(
            [&] { return store.saveText(QStringLiteral("own"), QString(20000, QChar(0x65B0)), &saved, &error); }));
        QCOMPARE(store.readText(QStringLiteral("own"), &ok), QStringLiteral("旧的余下"));
        QCOMPARE(QDir(store.folder()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList({"a\\b.txt", "gone.ini", "gone.txt", "link.ini", "link.txt", "own.txt"}));
    }

    // The settings file and the record store work where the user links them; the links stay.
    void storesThroughLinks()
    {
        const QString record = QSettings(QStringLiteral("VEK Helper"), QStringLiteral("VEK")).fileName();
        for (const auto& [path, target] :
             {std::pair{kConfigFile, "elsewhere/settings.ini"}, std::pair{record, "elsewhere/record.conf"}}) {
            writeRaw(m_dir->file(target), QByteArray());
            QDir().mkpath(QFileInfo(path).path());
            QVERIFY(QFile::link(m_dir->file(target), path));
        }
        App::Fanye = 321;
        App::Jilu = 42;
        App::writeConfig();
        App::writeStats();
        App::resetConfig();
        App::Jilu = 0;
        App::readConfig();
        App::readStats();
        QCOMPARE(QPoint(App::Fanye, App::Jilu), QPoint(321, 42));
        QVERIFY(QFileInfo(kConfigFile).isSymLink() && QFileInfo(record).isSymLink());
    }

    void writeFile()
    {
        const QString path = QStringLiteral("错字收集.txt");
        const QString text = QStringLiteral("跟打，\r\n二\n𠀀𪚥");
        QVERIFY(App::writeFile(path, QString(500, QChar(0x6587))));
        QVERIFY(App::writeFile(path, text));
        // No byte-order mark, no line end added, nothing of the longer old content.
        QCOMPARE(readRaw(path), text.toUtf8());
        QVERIFY(App::writeFile(QStringLiteral("empty.txt"), QString()));
        QCOMPARE(QFileInfo(QStringLiteral("empty.txt")).size(), 0);
        bool ok = false;
        QCOMPARE(App::readTextFile(path, &ok), text);
        QVERIFY(ok);
        QCOMPARE(App::readTextFile(QStringLiteral("none.txt"), &ok), QString());
        QVERIFY(!ok);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("missing/out\\.txt")));
        QVERIFY(!App::writeFile(QStringLiteral("missing/out.txt"), QStringLiteral("文")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("missing")));
        // A failed write leaves the old file whole.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("错字收集")));
        QVERIFY(!underSmallFileLimit([&] { return App::writeFile(path, QString(20000, QChar(0x65B0))); }));
        QCOMPARE(readRaw(path), text.toUtf8());
        // No stray file from any write.
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList({"empty.txt", path}));
    }

    void decodeText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString chinese = QStringLiteral("跟打器，测试abc。𠀀");
        // The UTF-16 codecs write their byte-order mark first.
        const auto encoded = [&](const char* codec) { return QTextCodec::codecForName(codec)->fromUnicode(chinese); };
        QTest::addRow("empty") << QByteArray() << QString();
        QTest::addRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << chinese;
        // A mark is never read as a first character: an article or code file would begin with it.
        QTest::addRow("utf-8 mark, code lines")
            << QByteArray("\xEF\xBB\xBF") + QStringLiteral("a\t工\n").toUtf8() << "a\t工\n";
        QTest::addRow("utf-8 mark alone") << QByteArray("\xEF\xBB\xBF") << QString();
        QTest::addRow("utf-16le with mark") << encoded("UTF-16LE") << chinese;
        QTest::addRow("utf-16be with mark") << encoded("UTF-16BE") << chinese;
        QTest::addRow("utf-8 plain") << chinese.toUtf8() << chinese;
        QTest::addRow("gb18030") << encoded("GB18030") << chinese;
        // Without a mark, the lines holding non-ASCII bytes vote. A UTF-8 text keeps its good lines and
        // reads each broken one as GB18030; a GB18030 text stays whole, also where a line of it is
        // valid UTF-8 by chance (茅 is C3 A9, "é").
        const auto gb = [](const char* text) { return QTextCodec::codecForName("GB18030")->fromUnicode(text); };
        QTest::addRow("utf-8, broken lines") << QByteArray("pw\t空\r\n") + gb("pwa\t窝\n") + "pwaa\t窝工\n\nab\n"
                                             << "pw\t空\r\npwa\t窝\npwaa\t窝工\n\nab\n";
        QTest::addRow("gb18030, lines valid as utf-8")
            << gb("茅\n测试\n") + "a\n" + gb("茅屋\n跟打") << "茅\n测试\na\n茅屋\n跟打";
        QTest::addRow("gb18030, as many lines each way") << gb("茅\n测试") << "茅\n测试";
    }

    void decodeText()
    {
        QFETCH(QByteArray, bytes);
        QTEST(App::decodeText(bytes), "expected");
        // The same through the reader of articles, code files and tables.
        writeRaw(QStringLiteral("text.txt"), bytes);
        bool ok = false;
        QTEST(App::readTextFile(QStringLiteral("text.txt"), &ok), "expected");
        QVERIFY(ok);
    }

    void gbCharList()
    {
        QVERIFY(App::isGbChar(QStringLiteral("的")) && App::isGbChar(QStringLiteral("亍"))); // level one and two
        // Latin, a traditional form, punctuation, two characters in the wrong order, a byte-order mark.
        for (const QString& other : QStringList{"a", "愛", "，", "阿啊", QString(QChar(0xFEFF))})
            QVERIFY2(!App::isGbChar(other), qPrintable(other));
    }
};

QTEST_GUILESS_MAIN(TestStores)
#include "test_stores.moc"
