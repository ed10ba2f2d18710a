#include "app/app.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextCodec>

#include <csignal>
#include <sys/resource.h>

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

QByteArray utf16Bytes(const QString& text, bool littleEndian)
{
    QByteArray out;
    for (const QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        out.append(littleEndian ? lo : hi).append(littleEndian ? hi : lo);
    }
    return out;
}

QByteArray gb18030Bytes(const QString& text)
{
    QTextCodec* codec = QTextCodec::codecForName("GB18030");
    return codec ? codec->fromUnicode(text) : QByteArray();
}

void clearRecord()
{
    App::Jilu = App::TempJilu = App::Totaljs = App::Totalco = 0;
    App::Totalti = 0.0;
    App::Day.clear();
    App::Day2.clear();
    App::CurrentUserName.clear();
    App::CurrentUserPwd.clear();
}

} // namespace

class TestStores : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recordRoundTrips();
    void missingStoreGivesZeroes();
    void progressIsCreatedOnceThenRead();
    void progressWithoutTextMakesNoFile();
    void progressOfEmptyName();
    void progressWithBrokenValueReadsZero();
    void progressPathStaysInFolder_data();
    void progressPathStaysInFolder();
    void hostileNameIsWrittenInsideFolder();
    void writeFileWritesUtf8AsIs_data();
    void writeFileWritesUtf8AsIs();
    void writeFileReplacesContent();
    void writeFileInMissingFolderFails();
    void failedWriteKeepsOldFile();
    void decodeText_data();
    void decodeText();
    void readTextFile();
    void gbCharList_data();
    void gbCharList();
};

void TestStores::initTestCase()
{
    App::initResources();
}

void TestStores::recordRoundTrips()
{
    TestDir dir;
    App::Jilu = 123456;
    App::TempJilu = 789;
    App::Totaljs = 98765;
    App::Totalti = 3600.25;
    App::Totalco = 54321;
    App::Day = QStringLiteral("2016-12-26");
    App::Day2 = QStringLiteral("2017-01-02");
    App::CurrentUserName = QStringLiteral("跟打者");
    App::CurrentUserPwd = QStringLiteral("p@ss 密码");
    App::writeStats();

    // On disk at once, in its own store, and the password in plain text as the login expects.
    QSettings store(QStringLiteral("VEK Helper"), QStringLiteral("VEK"));
    QVERIFY(store.fileName().startsWith(dir.path()));
    QVERIFY(QFile::exists(store.fileName()));
    QCOMPARE(store.value(QStringLiteral("VekConfig/CurrentUserPwd")).toString(), QStringLiteral("p@ss 密码"));
    QCOMPARE(store.value(QStringLiteral("VekConfig/Jilu")).toInt(), 123456);

    clearRecord();
    App::readStats();
    QCOMPARE(App::Jilu, 123456);
    QCOMPARE(App::TempJilu, 789);
    QCOMPARE(App::Totaljs, 98765);
    QCOMPARE(App::Totalti, 3600.25);
    QCOMPARE(App::Totalco, 54321);
    QCOMPARE(App::Day, QStringLiteral("2016-12-26"));
    QCOMPARE(App::Day2, QStringLiteral("2017-01-02"));
    QCOMPARE(App::CurrentUserName, QStringLiteral("跟打者"));
    QCOMPARE(App::CurrentUserPwd, QStringLiteral("p@ss 密码"));
}

void TestStores::missingStoreGivesZeroes()
{
    TestDir dir;
    App::Jilu = 5;
    App::Totalti = 9.5;
    App::Day = QStringLiteral("x");
    App::CurrentUserName = QStringLiteral("someone");
    App::CurrentUserPwd = QStringLiteral("secret");
    App::readStats();
    QCOMPARE(App::Jilu, 0);
    QCOMPARE(App::TempJilu, 0);
    QCOMPARE(App::Totalti, 0.0);
    QCOMPARE(App::Day, QString());
    QCOMPARE(App::CurrentUserName, QString());
    QCOMPARE(App::CurrentUserPwd, QString());
}

void TestStores::progressIsCreatedOnceThenRead()
{
    TestDir dir;
    App::Zdname = QStringLiteral("测试文章");
    App::SendText = QString(1000, QChar(0x5B57));
    App::readProgress();
    QCOMPARE(App::Zdzs, 1000);
    const QString path = kFolder + QStringLiteral("/测试文章.ini");
    QVERIFY(QFile::exists(path));
    QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("AppConfig/Zdzs")).toInt(), 1000);

    // The text keeps the length its file got, whatever is being sent now.
    App::SendText = QStringLiteral("短");
    App::Zdzs = 0;
    App::readProgress();
    QCOMPARE(App::Zdzs, 1000);
}

void TestStores::progressWithoutTextMakesNoFile()
{
    TestDir dir;
    App::Zdname = QStringLiteral("空");
    App::SendText.clear();
    App::Zdzs = 42;
    App::readProgress();
    QCOMPARE(App::Zdzs, 0);
    QVERIFY(!QFileInfo::exists(kFolder));
}

void TestStores::progressOfEmptyName()
{
    TestDir dir;
    App::Zdname.clear();
    App::SendText = QStringLiteral("abc");
    App::readProgress();
    QCOMPARE(App::Zdzs, 3);
    QVERIFY(QFile::exists(kFolder + QStringLiteral("/.ini")));
}

void TestStores::progressWithBrokenValueReadsZero()
{
    TestDir dir;
    writeRaw(kFolder + QStringLiteral("/坏.ini"), "[AppConfig]\nZdzs=abc\n");
    writeRaw(kFolder + QStringLiteral("/无键.ini"), "[AppConfig]\nOther=5\n");
    App::SendText = QStringLiteral("abcdef");

    App::Zdname = QStringLiteral("坏");
    App::readProgress();
    QCOMPARE(App::Zdzs, 0);
    App::Zdname = QStringLiteral("无键");
    App::readProgress();
    QCOMPARE(App::Zdzs, 0);
}

void TestStores::progressPathStaysInFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::addRow("plain") << "第一篇" << "跟打进度/第一篇.ini";
    QTest::addRow("dots and blanks") << "v1.2 draft.txt" << "跟打进度/v1.2 draft.txt.ini";
    QTest::addRow("empty") << "" << "跟打进度/.ini";
    QTest::addRow("climbs out") << "../../etc/x" << "跟打进度/____etc_x.ini";
    QTest::addRow("sub folder") << "a/b" << "跟打进度/a_b.ini";
    QTest::addRow("backslash climb") << "..\\x" << "跟打进度/__x.ini";
    QTest::addRow("only dots") << ".." << "跟打进度/_.ini";
    QTest::addRow("absolute") << "/tmp/x" << "跟打进度/_tmp_x.ini";
}

void TestStores::progressPathStaysInFolder()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);

    TestDir dir;
    const QString path = App::progressPath(name, QStringLiteral(".ini"));
    QCOMPARE(path, expected);
    QCOMPARE(QFileInfo(path).absolutePath(), QDir(dir.path()).absoluteFilePath(kFolder));
}

void TestStores::hostileNameIsWrittenInsideFolder()
{
    TestDir dir;
    QDir().mkpath(QStringLiteral("deep/er"));
    QDir::setCurrent(QStringLiteral("deep/er"));
    App::Zdname = QStringLiteral("../../escape");
    App::SendText = QStringLiteral("abc");
    App::readProgress();
    QVERIFY(QFile::exists(kFolder + QStringLiteral("/____escape.ini")));
    QVERIFY(!QFile::exists(dir.file(QStringLiteral("escape.ini"))));
    QVERIFY(!QFile::exists(dir.file(QStringLiteral("deep/escape.ini"))));
    QDir::setCurrent(dir.path());
}

void TestStores::writeFileWritesUtf8AsIs_data()
{
    QTest::addColumn<QString>("text");

    QTest::addRow("empty") << QString();
    QTest::addRow("chinese") << QStringLiteral("跟打测试，第一段。");
    QTest::addRow("line ends kept") << QStringLiteral("一\r\n二\n三");
    QTest::addRow("outside the BMP") << QStringLiteral("𠀀𪚥");
}

void TestStores::writeFileWritesUtf8AsIs()
{
    QFETCH(QString, text);

    TestDir dir;
    QVERIFY(App::writeFile(QStringLiteral("错字收集.txt"), text));
    QVERIFY(QFile::exists(QStringLiteral("错字收集.txt")));
    // No byte-order mark, no line end added: exactly the text's UTF-8 bytes.
    QCOMPARE(readRaw(QStringLiteral("错字收集.txt")), text.toUtf8());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestStores::writeFileReplacesContent()
{
    TestDir dir;
    const QString path = QStringLiteral("out.txt");
    QVERIFY(App::writeFile(path, QString(500, QChar(0x6587))));
    QVERIFY(App::writeFile(path, QStringLiteral("短")));
    QCOMPARE(readRaw(path), QStringLiteral("短").toUtf8());
}

void TestStores::writeFileInMissingFolderFails()
{
    TestDir dir;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("missing/out\\.txt")));
    QVERIFY(!App::writeFile(QStringLiteral("missing/out.txt"), QStringLiteral("文")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("missing")));
}

void TestStores::failedWriteKeepsOldFile()
{
    TestDir dir;
    const QString path = QStringLiteral("慢字收集.txt");
    QVERIFY(App::writeFile(path, QStringLiteral("旧的内容")));

    // A file-size limit makes the write itself fail, which no file permission does for root.
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

void TestStores::decodeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    const QString chinese = QStringLiteral("跟打器，测试abc。");
    QTest::addRow("empty") << QByteArray() << QString();
    QTest::addRow("ascii") << QByteArray("plain\r\ntext") << QStringLiteral("plain\r\ntext");
    QTest::addRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << chinese;
    QTest::addRow("utf-16le with mark") << QByteArray("\xFF\xFE") + utf16Bytes(chinese, true) << chinese;
    QTest::addRow("utf-16be with mark") << QByteArray("\xFE\xFF") + utf16Bytes(chinese, false) << chinese;
    QTest::addRow("utf-8 plain") << chinese.toUtf8() << chinese;
    QTest::addRow("utf-8 outside the BMP") << QStringLiteral("𠀀字").toUtf8() << QStringLiteral("𠀀字");
    QTest::addRow("gb18030") << gb18030Bytes(chinese) << chinese;
}

void TestStores::decodeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(App::decodeText(bytes), expected);
}

void TestStores::readTextFile()
{
    TestDir dir;
    writeRaw(QStringLiteral("文章/windows.txt"), gb18030Bytes(QStringLiteral("春眠不觉晓，处处闻啼鸟。")));
    bool ok = false;
    QCOMPARE(App::readTextFile(QStringLiteral("文章/windows.txt"), &ok), QStringLiteral("春眠不觉晓，处处闻啼鸟。"));
    QVERIFY(ok);

    ok = true;
    QCOMPARE(App::readTextFile(QStringLiteral("文章/none.txt"), &ok), QString());
    QVERIFY(!ok);
    QCOMPARE(App::readTextFile(QStringLiteral("文章/none.txt")), QString());
}

void TestStores::gbCharList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    QTest::addRow("common character") << QStringLiteral("的") << true;
    QTest::addRow("level two character") << QStringLiteral("亍") << true;
    QTest::addRow("latin letter") << QStringLiteral("a") << false;
    QTest::addRow("traditional form") << QStringLiteral("愛") << false;
    QTest::addRow("full-width comma") << QStringLiteral("，") << false;
    QTest::addRow("empty") << QString() << true;
    QTest::addRow("adjacent pair") << QStringLiteral("啊阿") << true;
    QTest::addRow("pair reversed") << QStringLiteral("阿啊") << false;
    QTest::addRow("pair apart") << QStringLiteral("啊埃") << false;
    QTest::addRow("byte-order mark") << QStringLiteral("\uFEFF") << false;
}

void TestStores::gbCharList()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(App::isGbChar(text), expected);
}

QTEST_GUILESS_MAIN(TestStores)
#include "test_stores.moc"
