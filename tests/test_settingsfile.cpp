// The settings file: every key through a write and a read, values and whole files garbled or written
// by hand, the copy of a damaged file, the key order, and a file that cannot be written.
#include "app/core/app.h"
#include "filesupport.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextCodec>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>

namespace {

const QString kConfigFile = QStringLiteral("CONFIG/settings.ini");
using ts::configFileValue;
using ts::readRaw;
using ts::underSmallFileLimit;
using ts::writeRaw;

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

QStringList fileKeys()
{
    QStringList keys;
    for (const QByteArray& line : readRaw(kConfigFile).split('\n')) {
        if (line.indexOf('=') > 0)
            keys << QString::fromLatin1(line.left(line.indexOf('=')));
    }
    return keys;
}

void verifyValues(const std::function<QVariant(int)>& expected = App::configDefault)
{
    for (int i = 0; i < App::configKeyCount(); ++i) {
        QCOMPARE(App::configValue(i).userType(), expected(i).userType());
        QVERIFY2(App::configValue(i) == expected(i), qPrintable(App::configKey(i)));
    }
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDir> m_dir;

private slots:
    void initTestCase()
    {
        verifyValues(); // static initialisation already set the defaults
    }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        App::resetConfig();
    }
    void cleanup() { m_dir.reset(); }

    void everyKeyRoundTrips()
    {
        // Without a file every setting keeps its default, and reading makes no folder.
        App::readConfig();
        verifyValues();
        QVERIFY(!QFileInfo::exists(QStringLiteral("CONFIG")));
        // Per key a value of its type unlike its default and every other key's; texts with characters
        // the file format escapes.
        const auto changed = [](int i) -> QVariant {
            const QVariant def = App::configDefault(i);
            switch (def.userType()) {
            case QMetaType::Bool:
                return !def.toBool();
            case QMetaType::Int:
                return def.toInt() + 7 + i;
            case QMetaType::Double:
                return def.toDouble() + 1.25 + i;
            }
            if (def.toString().startsWith('#')) // a colour stays one
                return QStringLiteral("#%1").arg(i, 6, 10, QLatin1Char('0'));
            const QString texts[] = {QStringLiteral("@ %1改;=,"), QStringLiteral("\"%1\\\t\n\r;#[x] "),
                                     QStringLiteral("%1") + QChar(0) + QStringLiteral("ab\x7f"),
                                     QStringLiteral(" %1𠀀\\x41,")};
            return texts[i % 4].arg(i) + def.toString() + ' ';
        };
        for (int i = 0; i < App::configKeyCount(); ++i)
            App::setConfigValue(i, changed(i));
        App::writeConfig();
        // No codec is set: the file stays ASCII, the characters go in escaped form.
        const QByteArray bytes = readRaw(kConfigFile);
        QVERIFY(!bytes.isEmpty() && isAscii(bytes));
        App::resetConfig();
        App::readConfig();
        verifyValues(changed);
    }

    // One line of a file the trainer wrote changed by hand: a value that does not fit its key keeps
    // the key's default, others convert by the toolkit's rules; the file is kept aside when a
    // default was put back or the toolkit found the file malformed.
    void missingAndGarbledValues_data()
    {
        QTest::addColumn<QByteArray>("line"); // in place of its key's line; a bare key: the line goes
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<bool>("kept");
        QTest::addRow("int not a number") << QByteArray("Fanye=abc") << QVariant(500) << true;
        QTest::addRow("int with fraction") << QByteArray("Width=12.5") << QVariant(650) << true;
        QTest::addRow("bool any text") << QByteArray("Sudu=abc") << QVariant(true) << false;
        QTest::addRow("double not a number") << QByteArray("Zdhd3=x") << QVariant(10.0) << true;
        // The key-rate threshold holds fractions: an int setting would read it as 0.
        QTest::addRow("double with fraction") << QByteArray("Zdhd3=9.5") << QVariant(9.5) << false;
        // Beyond an int: clamped, never wrapped.
        QTest::addRow("int too large") << QByteArray("Fanye=99999999999") << QVariant(INT_MAX) << false;
        QTest::addRow("int too small") << QByteArray("X=-99999999999") << QVariant(INT_MIN) << false;
        QTest::addRow("int beyond 64 bits")
            << QByteArray("Width=+123456789012345678901234") << QVariant(INT_MAX) << false;
        QTest::addRow("key missing") << QByteArray("Sudu") << QVariant(true) << true;
        QTest::addRow("bool empty") << QByteArray("Sudu=") << QVariant(false) << false;
        QTest::addRow("hot key cleared") << QByteArray("Kjzd=") << QVariant(QString()) << false;
        QTest::addRow("not a colour") << QByteArray("Rc=notacolour") << QVariant("#707070") << true;
        QTest::addRow("colour empty") << QByteArray("Dbj=") << QVariant("#f4f7fc") << true;
        QTest::addRow("colour without #") << QByteArray("Dbj=e0e0e0") << QVariant("#f4f7fc") << true;
        QTest::addRow("short colour") << QByteArray("Wc=#0f0") << QVariant("#0f0") << false;
        QTest::addRow("colour name") << QByteArray("Wc=red2") << QVariant("#FF3030") << true;
        QTest::addRow("four hex digits") << QByteArray("Wc=#abcd") << QVariant("#FF3030") << true;
        QTest::addRow("double infinite") << QByteArray("Zdhd3=inf") << QVariant(10.0) << true;
        QTest::addRow("double not a number, nan") << QByteArray("Zdhd4=nan") << QVariant(200.0) << true;
        QTest::addRow("malformed section after") << QByteArray("Gdjs=x\n[Other") << QVariant("x") << true;
        // A raw line break never comes from the writer: the line it ends is damaged, the next one
        // is a key of its own.
        QTest::addRow("stray quote") << QByteArray("Kjcf=\"CTRL+F") << QVariant("CTRL+F") << true;
        QTest::addRow("stray quote, text") << QByteArray("Zdname=\"第一篇") << QVariant(QString()) << true;
        QTest::addRow("backslash at the end") << QByteArray("Kjcf=CTRL+F\\") << QVariant("CTRL+F") << true;
        // Written by hand: UTF-8 with or without a mark, else GB18030; a comma is part of the text.
        const QString sign = QStringLiteral("我的签名");
        QTest::addRow("utf-8") << "QianMing=" + sign.toUtf8() << QVariant(sign) << false;
        QTest::addRow("gb18030") << "QianMing=" + QTextCodec::codecForName("GB18030")->fromUnicode(sign)
                                 << QVariant(sign) << false;
        QTest::addRow("comma in text") << QByteArray("QianMing=hello, world") << QVariant("hello, world") << false;
        QTest::addRow("font without quotes") << QByteArray("Font1=DejaVu Serif,20,-1,5,50,0,0,0,0,0")
                                             << QVariant("DejaVu Serif,20,-1,5,50,0,0,0,0,0") << false;
        QTest::addRow("comma in switch") << QByteArray("Sudu=yes,please") << QVariant(true) << false;
        // Other hand-written forms read as the toolkit reads them.
        QTest::addRow("blanks and comment") << QByteArray("Kjzd =  F6  ; was F4") << QVariant("F6") << false;
        QTest::addRow("quoted semicolon") << QByteArray("Kjzd=\" F6;x \"") << QVariant(" F6;x ") << false;
        QTest::addRow("escapes") << QByteArray("QianMing=\\101\\x42\\x43\\q\\t") << QVariant("ABC\t") << false;
    }

    void missingAndGarbledValues()
    {
        QFETCH(QByteArray, line);
        QFETCH(QVariant, expected);
        QFETCH(bool, kept);
        App::writeConfig();
        const QByteArray key = line.left(line.indexOf('=') < 0 ? line.size() : line.indexOf('=')).trimmed();
        QByteArray bytes = readRaw(kConfigFile);
        const int at = bytes.indexOf("\n" + key + "=") + 1;
        bytes.replace(at, bytes.indexOf('\n', at) - at, line.contains('=') ? line : QByteArray());
        writeRaw(kConfigFile, bytes);
        writeRaw(kConfigFile + ".bad", "older copy");
        if (kept)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("存为 CONFIG/settings\\.ini\\.bad")));
        if (line.contains('['))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("格式有误")));
        App::readConfig();
        const auto values = [&](int i) { return App::configKey(i) == key ? expected : App::configDefault(i); };
        verifyValues(values);
        QCOMPARE(readRaw(kConfigFile + ".bad"), kept ? bytes : QByteArray("older copy"));
        // Written back in the toolkit's escapes, as any version reads it.
        App::writeConfig();
        QVERIFY(isAscii(readRaw(kConfigFile)));
        QCOMPARE(configFileValue(QString::fromLatin1(key)).toString(), expected.toString());
        App::resetConfig();
        App::readConfig();
        verifyValues(values);
    }

    // Whole files the trainer did not write: an older one, random bytes, a stray quote whose value
    // swallows every later line. What is not there keeps its default, the file as it was is kept
    // aside, and the next write completes it.
    void oldOrDamagedFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QVariantMap>("read"); // the values not at their defaults
        const QVariantMap black{{"Style", "black"}};
        QTest::addRow("older file") << QByteArray("[AppConfig]\nStyle=black\nRc=notacolour\n") << black;
        QByteArray noise(6000, '\0');
        QRandomGenerator(30).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QTest::addRow("random bytes") << noise << QVariantMap();
        QTest::addRow("stray quote") << QByteArray("[AppConfig]\nStyle=black\nQianMing=\"sign\nKjzd=F6\nFanye=300\n")
                                     << QVariantMap{{"Style", "black"}, {"Kjzd", "F6"}, {"Fanye", 300}};
        QTest::addRow("stray quote, keys after")
            << QByteArray("[AppConfig]\nKjcf=\"CTRL+F\nKjsh=F6\nStyle=black\nZdname=\"第一篇\nZdhd=true\n")
            << QVariantMap{{"Kjsh", "F6"}, {"Style", "black"}, {"Zdhd", true}};
        QTest::addRow("windows, gb18030")
            << QTextCodec::codecForName("GB18030")->fromUnicode("[AppConfig]\r\nStyle=black\r\nQianMing=签名\r\n")
            << QVariantMap{{"Style", "black"}, {"QianMing", "签名"}};
        QTest::addRow("utf-8 mark") << "\xEF\xBB\xBF[AppConfig]\nStyle=black\nQianMing=" +
                                           QStringLiteral("我的签名").toUtf8()
                                    << QVariantMap{{"Style", "black"}, {"QianMing", "我的签名"}};
    }

    void oldOrDamagedFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QVariantMap, read);
        writeRaw(kConfigFile, bytes);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("settings\\.ini\\.bad")));
        App::readConfig();
        const auto expected = [&](int i) { return read.value(App::configKey(i), App::configDefault(i)); };
        verifyValues(expected);
        QCOMPARE(readRaw(kConfigFile + ".bad"), bytes);
        App::writeConfig();
        QVERIFY(isAscii(readRaw(kConfigFile)));
        for (const char* key : {"Rc", "Dbj", "Kjzd", "Style"})
            QCOMPARE(configFileValue(key).toString(), expected(App::configIndex(key)).toString());
        QStringList tableKeys;
        for (int i = 0; i < App::configKeyCount(); ++i)
            tableKeys << App::configKey(i);
        QCOMPARE(fileKeys().mid(fileKeys().indexOf(App::configKey(0)), tableKeys.size()), tableKeys);
        App::resetConfig();
        App::readConfig(); // complete now: nothing more to put back or keep
        verifyValues(expected);
    }

    // No copy of a damaged file can be made: it stays the only one, so no write replaces it until
    // a later read keeps it aside.
    void damagedFileWithoutCopy_data()
    {
        QTest::addColumn<bool>("diskFull"); // else the copy's name is taken by a folder
        QTest::addRow("copy is a folder") << false;
        QTest::addRow("disk full") << true;
    }
    void damagedFileWithoutCopy()
    {
        QFETCH(bool, diskFull);
        // Longer than the file-size limit, so that the copy cannot be written under it.
        const QByteArray bytes = "[AppConfig]\nStyle=black\nFanye=x\nZzNote=" + QByteArray(5000, 'n') + "\n";
        writeRaw(kConfigFile, bytes);
        if (!diskFull)
            QVERIFY(QDir().mkpath(kConfigFile + ".bad"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("备份失败.*不再写入")));
        if (diskFull)
            underSmallFileLimit([] { return App::readConfig(), true; });
        else
            App::readConfig();
        QCOMPARE(App::Style, QStringLiteral("black"));
        App::Fanye = 77;
        App::writeConfig();
        App::writeConfig();
        QCOMPARE(readRaw(kConfigFile), bytes);
        QCOMPARE(App::Fanye, 77);
        // Read again with room for the copy: kept aside, and written whole.
        QDir(kConfigFile + ".bad").removeRecursively();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("存为 CONFIG/settings\\.ini\\.bad")));
        App::readConfig();
        App::writeConfig();
        QCOMPARE(readRaw(kConfigFile + ".bad"), bytes);
        QCOMPARE(configFileValue("Fanye").toInt(), 500);
    }

    void fileKeepsTableOrderAndUnknownKeys()
    {
        // Written by hand in UTF-8: the key the table does not know keeps its characters too.
        writeRaw(kConfigFile, QStringLiteral("[AppConfig]\nZzExtra=keep 我\nFanye=77\n\n[Other]\nx=1\n").toUtf8());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("settings\\.ini\\.bad")));
        App::readConfig();
        App::writeConfig();
        const QByteArray first = readRaw(kConfigFile);
        QStringList keys;
        for (int i = 0; i < App::configKeyCount(); ++i)
            keys << App::configKey(i);
        keys << QStringLiteral("ZzExtra") << QStringLiteral("x");
        QCOMPARE(fileKeys(), keys);
        QVERIFY(first.contains("\nFanye=77\n") && first.contains("\nSudu=true\n") && first.contains("\nx=1\n"));
        QCOMPARE(configFileValue("ZzExtra").toString(), QStringLiteral("keep 我"));
        App::writeConfig();
        QCOMPARE(readRaw(kConfigFile), first);
        // A changed value is rewritten in place.
        App::Zdhd4 = 187.5;
        App::writeConfig();
        QCOMPARE(fileKeys(), keys);
        QVERIFY(readRaw(kConfigFile).contains("\nZdhd4=187.5\n"));
    }

    void unwritableConfigIsLoggedAndKeepsGlobals()
    {
        writeRaw(QStringLiteral("CONFIG"), "not a folder");
        App::Fanye = 99;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("写入配置失败")));
        App::writeConfig();
        QCOMPARE(App::Fanye, 99);
        QCOMPARE(readRaw(QStringLiteral("CONFIG")), QByteArray("not a folder"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
