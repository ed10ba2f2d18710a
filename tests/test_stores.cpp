#include "app/core/app.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextCodec>

#include <atomic>
#include <climits>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFolder = QStringLiteral("跟打进度");

QByteArray readRaw(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray encoded(const char* codec, const QString& text)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return QTextCodec::codecForName(codec)->fromUnicode(text.constData(), text.size(), &state);
}

// FIFOs in place of files. A reader that opens one would wait for a writer for ever; one comes
// as soon as a reader waits, so a wrong open ends at once, having read nothing.
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
                    if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                        ::close(fd);
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
    std::thread writer;
};

} // namespace

class TestStores : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }

    void recordRoundTrips()
    {
        TestDir dir;
        const auto record = [] {
            return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                .arg(App::Day, App::Day2, App::CurrentUserName, App::CurrentUserPwd, QString::number(App::Jilu),
                     QString::number(App::TempJilu), QString::number(App::Totaljs), QString::number(App::Totalti),
                     QString::number(App::Totalco));
        };
        const auto set = [](const QStringList& texts, const QList<double>& numbers) {
            App::Day = texts[0];
            App::Day2 = texts[1];
            App::CurrentUserName = texts[2];
            App::CurrentUserPwd = texts[3];
            App::Jilu = int(numbers[0]);
            App::TempJilu = int(numbers[1]);
            App::Totaljs = int(numbers[2]);
            App::Totalti = numbers[3];
            App::Totalco = int(numbers[4]);
        };
        set({"x", "x", "x", "x"}, {5, 5, 5, 5.5, 5});
        App::readStats(); // nothing stored yet: zero or empty
        QCOMPARE(record(), QStringLiteral("||||0|0|0|0|0"));

        set({"2016-12-26", "2017-01-02", "跟打者", "p@ss 密码"}, {123456, 789, 98765, 3600.25, 54321});
        const QString stored = record();
        App::writeStats();
        // On disk at once, in its own store under the test folder, the password in plain text.
        QSettings store(QStringLiteral("VEK Helper"), QStringLiteral("VEK"));
        QVERIFY(store.fileName().startsWith(dir.path()) && QFile::exists(store.fileName()));
        QCOMPARE(store.value(QStringLiteral("VekConfig/CurrentUserPwd")).toString(), QStringLiteral("p@ss 密码"));
        set({"", "", "", ""}, {0, 0, 0, 0, 0});
        App::readStats();
        QCOMPARE(record(), stored);
    }

    void progressFile()
    {
        TestDir dir;
        // No text, no file.
        App::Zdname = QStringLiteral("空");
        App::SendText.clear();
        App::Zdzs = 42;
        App::readProgress();
        QCOMPARE(App::Zdzs, 0);
        QVERIFY(!QFileInfo::exists(kFolder));

        // Created once with the text's length, then read whatever is being sent now.
        App::Zdname = QStringLiteral("测试文章");
        App::SendText = QString(1000, QChar(0x5B57));
        App::readProgress();
        QCOMPARE(App::Zdzs, 1000);
        App::SendText = QStringLiteral("短");
        App::readProgress();
        QCOMPARE(App::Zdzs, 1000);
        QVERIFY(readRaw(kFolder + QStringLiteral("/测试文章.ini")).contains("Zdzs=1000"));

        // A garbled or missing value reads as zero.
        writeRaw(kFolder + QStringLiteral("/坏.ini"), "[AppConfig]\nZdzs=abc\n");
        writeRaw(kFolder + QStringLiteral("/无键.ini"), "[AppConfig]\nOther=5\n");
        for (const QString& name : {QStringLiteral("坏"), QStringLiteral("无键")}) {
            App::Zdname = name;
            App::readProgress();
            QCOMPARE(App::Zdzs, 0);
        }

        // A title that climbs out of the folder is written inside it all the same.
        App::Zdname = QStringLiteral("../escape");
        App::readProgress();
        QVERIFY(QFile::exists(kFolder + QStringLiteral("/__escape.ini")) && !QFile::exists("escape.ini"));
    }

    // Out-of-range numbers in the stores are clamped into their sane range, never wrapped.
    void recordValuesClamped()
    {
        TestDir dir;
        writeRaw(QSettings(QStringLiteral("VEK Helper"), QStringLiteral("VEK")).fileName(),
                 "[VekConfig]\nTotaljs=99999999999\nJilu=-5\nTempJilu=12\nTotalti=-1\nTotalco=1e3\n");
        App::readStats();
        // Totalco holds no integer: zero, as the toolkit reads it.
        QCOMPARE((QList<double>{double(App::Totaljs), double(App::Jilu), double(App::TempJilu), App::Totalti,
                                double(App::Totalco)}),
                 (QList<double>{INT_MAX, 0, 12, 0, 0}));
        writeRaw(kFolder + QStringLiteral("/大.ini"), "[AppConfig]\nZdzs=4294967297\n");
        App::Zdname = QStringLiteral("大");
        App::readProgress();
        QCOMPARE(App::Zdzs, INT_MAX);
    }

    // A FIFO (or any file that is not a regular one) under a store's or a text's name counts as
    // unreadable: nothing blocks, the values in memory stay, and it is not written over.
    void onlyRegularFilesOpened()
    {
        TestDir dir;
        App::resetConfig();
        App::Zdname = QStringLiteral("管道");
        App::SendText = QStringLiteral("十个字的一段文字啊");
        App::Jilu = 7;
        const QStringList paths = {QStringLiteral("CONFIG/settings.ini"),
                                   QSettings(QStringLiteral("VEK Helper"), QStringLiteral("VEK")).fileName(),
                                   App::progressPath(App::Zdname, QStringLiteral(".ini")), QStringLiteral("a.txt")};
        Fifos fifos(paths);
        bool ok = true;
        App::readConfig();
        App::readStats();
        App::readProgress();
        App::readTextFile(paths.last(), &ok);
        App::writeConfig();
        App::writeStats();
        QCOMPARE(App::Fanye, 500);
        QCOMPARE(App::Jilu, 7);
        QCOMPARE(App::Zdzs, App::SendText.size());
        QVERIFY(!ok);
        for (const QString& path : paths)
            QVERIFY2(QFileInfo::exists(path) && !QFileInfo(path).isFile(), qPrintable(path));
    }

    void progressPathStaysInFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("plain") << "v1.2 第一篇" << "跟打进度/v1.2 第一篇.ini";
        QTest::addRow("empty") << "" << "跟打进度/.ini";
        QTest::addRow("climbs out") << "../../etc/x" << "跟打进度/____etc_x.ini";
        QTest::addRow("backslash climb") << "..\\x" << "跟打进度/__x.ini";
        QTest::addRow("only dots") << ".." << "跟打进度/_.ini";
        QTest::addRow("absolute") << "/tmp/x" << "跟打进度/_tmp_x.ini";
        QTest::addRow("NUL and controls") << QString::fromUtf16(u"a\0b\tc\x1f\x7f\nd", 9) << "跟打进度/abcd.ini";
        // clang-format on
    }

    void progressPathStaysInFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        TestDir dir;
        const QString path = App::progressPath(name, QStringLiteral(".ini"));
        QCOMPARE(path, expected);
        QCOMPARE(QFileInfo(path).absolutePath(), QDir(dir.path()).absoluteFilePath(kFolder));
    }

    void writeFileWritesUtf8AsIs()
    {
        TestDir dir;
        const QString path = QStringLiteral("错字收集.txt");
        const QString text = QStringLiteral("跟打，\r\n二\n𠀀𪚥");
        QVERIFY(App::writeFile(path, QString(500, QChar(0x6587))));
        QVERIFY(App::writeFile(path, text));
        // No byte-order mark, no line end added, nothing of the longer old content, no stray file.
        QCOMPARE(readRaw(path), text.toUtf8());
        QVERIFY(App::writeFile(QStringLiteral("empty.txt"), QString()));
        QCOMPARE(QFileInfo(QStringLiteral("empty.txt")).size(), 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        bool ok = false;
        QCOMPARE(App::readTextFile(path, &ok), text);
        QVERIFY(ok);
        QCOMPARE(App::readTextFile(QStringLiteral("none.txt"), &ok), QString());
        QVERIFY(!ok);
    }

    void writeFileFailures()
    {
        TestDir dir;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("missing/out\\.txt")));
        QVERIFY(!App::writeFile(QStringLiteral("missing/out.txt"), QStringLiteral("文")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("missing")));

        // A failed write leaves the old file whole. A file-size limit makes the write itself fail,
        // which no file permission does for root.
        const QString path = QStringLiteral("慢字收集.txt");
        QVERIFY(App::writeFile(path, QStringLiteral("旧的内容")));
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("慢字收集")));
        const bool written = App::writeFile(path, QString(20000, QChar(0x65B0)));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QCOMPARE(readRaw(path), QStringLiteral("旧的内容").toUtf8());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{path});
    }

    void decodeText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString chinese = QStringLiteral("跟打器，测试abc。𠀀");
        QTest::addRow("empty") << QByteArray() << QString();
        QTest::addRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << chinese;
        QTest::addRow("utf-16le with mark") << QByteArray("\xFF\xFE") + encoded("UTF-16LE", chinese) << chinese;
        QTest::addRow("utf-16be with mark") << QByteArray("\xFE\xFF") + encoded("UTF-16BE", chinese) << chinese;
        QTest::addRow("utf-8 plain") << chinese.toUtf8() << chinese;
        QTest::addRow("gb18030") << encoded("GB18030", chinese) << chinese;
    }

    void decodeText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(App::decodeText(bytes), expected);
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
