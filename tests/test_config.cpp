#include "app/app.h"
#include "deployment.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QVariant>

namespace {

const QString kConfigFile = QStringLiteral("CONFIG/settings.ini");

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readRaw(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Key names of one group of an INI file, in the order they stand in the file.
QStringList keysInGroup(const QByteArray& ini, const QString& group)
{
    QStringList keys;
    bool inGroup = false;
    for (const QByteArray& raw : ini.split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0)
            keys << line.left(eq).trimmed();
    }
    return keys;
}

int indexOfKey(const QString& key)
{
    for (int i = 0; i < App::configKeyCount(); ++i) {
        if (App::configKey(i) == key)
            return i;
    }
    return -1;
}

// A value of the setting's type that differs from its default and from every other key's value.
QVariant otherValue(int index)
{
    const QVariant def = App::configDefault(index);
    switch (def.userType()) {
    case QMetaType::QString:
        return QVariant(def.toString() + QStringLiteral("改%1").arg(index));
    case QMetaType::Bool:
        return QVariant(!def.toBool());
    case QMetaType::Int:
        return QVariant(def.toInt() + 7 + index);
    case QMetaType::Double:
        return QVariant(def.toDouble() + 1.25 + index);
    default:
        return QVariant();
    }
}

QVariant zeroOf(int index)
{
    switch (App::configDefault(index).userType()) {
    case QMetaType::QString:
        return QVariant(QString());
    case QMetaType::Bool:
        return QVariant(false);
    case QMetaType::Int:
        return QVariant(0);
    case QMetaType::Double:
        return QVariant(0.0);
    default:
        return QVariant();
    }
}

void setKey(const char* key, const QVariant& value)
{
    App::setConfigValue(indexOfKey(QLatin1String(key)), value);
}

QVariant valueOfKey(const char* key)
{
    return App::configValue(indexOfKey(QLatin1String(key)));
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void tableShape();
    void everyKeyRoundTrips();
    void absentFileKeepsDefaults();
    void missingKeysReadAsZero();
    void unreadableFileKeepsDefaults();
    void valuesConvertByToolkitRules_data();
    void valuesConvertByToolkitRules();
    void awkwardTextsSurvive();
    void writesAreStableAndInTableOrder();
    void unknownKeysAreKept();
    void unwritableFileIsLoggedAndKeepsGlobals();
    void deploymentFromEnvironment();
};

void TestConfig::initTestCase()
{
    // Nothing has touched the globals yet: they must already hold the table's defaults.
    for (int i = 0; i < App::configKeyCount(); ++i) {
        QCOMPARE(App::configValue(i).userType(), App::configDefault(i).userType());
        QVERIFY2(App::configValue(i) == App::configDefault(i), qPrintable(App::configKey(i)));
    }
}

void TestConfig::init()
{
    App::resetConfig();
}

void TestConfig::tableShape()
{
    // Every key with its default, in the order the settings file lists them.
    const QStringList expected = QString::fromUtf8(
        "ShuRuFa= ShuRuFa2=false QianMing= QianMing2=false BianMa=86.txt BianMa2=false Zdcm=false "
        "KongGe=0 CuoZiSj=false Limitmz=60 ManZiSj=false Fanye=500 Yulanq=10 Yulanh=10 Sudu=true "
        "Jijian=true Machang=true Zishu=true Shijian=true Huigai=true Tuige=true Huiche=true Jianshu=true "
        "Xuanchong=true Jianzhun=true Jianfa=true Chongda=true Daci=true Cuozi=true Kjsz=F1 Kjfw=F2 "
        "Kjcd=F3 Kjlx=CTRL+L Kjzt=Return Kjzj=F8 Kjfx=CTRL+P Kjtz=CTRL+T Kjzd=F4 Kjsd=CTRL+F4 Kjhq=F5 "
        "Kjcj=F9 Kjlb=ALT+Q Kjjy=ALT+D Kjcf=CTRL+F Kjsh=F7 Gdyw=true Gdsz=true Gdqs=false Gdcz=true "
        "Gdcdlim=12 Gdcd=true Gdsdlim=200 Gdsd=false Gdyslim=350 ShiShi=true Quchu=true Tihuan=true "
        "Showcj=true BianSe=true TanChuang=false GbtanChuang=true Limit=false Limitsudu=200 Cypm=true "
        "Uploadcj=true Opensrf=false Zchongfu=true Tishi=false Onlye=false Dingzi=true Fyxc=true Zdmc=4 "
        "Dpmc=4 Qpmc=4 Hcaction=上屏英文 Kgaction=清屏 Position=跟随光标 Hxnum=10 Mabiao=五笔 Style=silvery Font1= "
        "GetWay=0 Pattern=0 X=0 Y=0 Width=650 Height=475 Ztcd=#000000 Ztcg=#000000 Dbj=#f4f7fc "
        "Gbj=#f4f7fc Tbj=#f4f7fc Rc=#707070 Wc=#FF3030 Zdname= Zdhd=false Zdhd2=击键 Zdhd3=10 Zdhd4=200 "
        "Zdhd5=乱序 Bb=86 Dl=true Fw=跟打结束自动发文 Fwtime=30 Gdjs=激活跟打器")
                                     .split(QLatin1Char(' '));
    QCOMPARE(App::configKeyCount(), 105);
    QStringList actual;
    for (int i = 0; i < App::configKeyCount(); ++i)
        actual << App::configKey(i) + QLatin1Char('=') + App::configDefault(i).toString();
    QCOMPARE(actual, expected);

    QCOMPARE(App::configDefault(indexOfKey(QStringLiteral("Zdhd3"))).userType(), int(QMetaType::Double));
    QVERIFY(App::configKey(105).isEmpty());
    QVERIFY(!App::configValue(-1).isValid());
}

void TestConfig::everyKeyRoundTrips()
{
    TestDir dir;
    QList<QVariant> written;
    for (int i = 0; i < App::configKeyCount(); ++i) {
        const QVariant value = otherValue(i);
        QVERIFY2(value.isValid() && value != App::configDefault(i), qPrintable(App::configKey(i)));
        App::setConfigValue(i, value);
        written << value;
    }
    App::writeConfig();
    QVERIFY(QFile::exists(dir.file(kConfigFile)));

    App::resetConfig();
    for (int i = 0; i < App::configKeyCount(); ++i)
        QVERIFY2(App::configValue(i) == App::configDefault(i), qPrintable(App::configKey(i)));

    App::readConfig();
    for (int i = 0; i < App::configKeyCount(); ++i) {
        QCOMPARE(App::configValue(i).userType(), written.at(i).userType());
        QVERIFY2(App::configValue(i) == written.at(i), qPrintable(App::configKey(i)));
    }
}

void TestConfig::absentFileKeepsDefaults()
{
    TestDir dir;
    App::readConfig();
    for (int i = 0; i < App::configKeyCount(); ++i)
        QVERIFY2(App::configValue(i) == App::configDefault(i), qPrintable(App::configKey(i)));
    QVERIFY(!QFileInfo::exists(dir.file(QStringLiteral("CONFIG"))));
}

void TestConfig::missingKeysReadAsZero()
{
    TestDir dir;
    writeRaw(kConfigFile, "[AppConfig]\nFanye=123\n");
    App::readConfig();
    QCOMPARE(App::Fanye, 123);
    QCOMPARE(App::Sudu, false);
    QCOMPARE(App::Style, QString());
    for (int i = 0; i < App::configKeyCount(); ++i) {
        if (App::configKey(i) != QLatin1String("Fanye"))
            QVERIFY2(App::configValue(i) == zeroOf(i), qPrintable(App::configKey(i)));
    }
}

void TestConfig::unreadableFileKeepsDefaults()
{
    TestDir dir;
    QVERIFY(QDir().mkpath(kConfigFile));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("读取配置失败")));
    App::readConfig();
    for (int i = 0; i < App::configKeyCount(); ++i)
        QVERIFY2(App::configValue(i) == App::configDefault(i), qPrintable(App::configKey(i)));
}

void TestConfig::valuesConvertByToolkitRules_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QVariant>("expected");

    QTest::addRow("int not a number") << "Fanye" << QByteArray("abc") << QVariant(0);
    QTest::addRow("int plain") << "Fanye" << QByteArray("42") << QVariant(42);
    QTest::addRow("int with fraction") << "Width" << QByteArray("12.5") << QVariant(0);
    QTest::addRow("bool any text") << "Sudu" << QByteArray("abc") << QVariant(true);
    QTest::addRow("bool FALSE") << "Sudu" << QByteArray("FALSE") << QVariant(false);
    QTest::addRow("bool zero") << "Gdyw" << QByteArray("0") << QVariant(false);
    QTest::addRow("bool empty") << "Gdyw" << QByteArray("") << QVariant(false);
    QTest::addRow("double 10.0") << "Zdhd3" << QByteArray("10.0") << QVariant(10.0);
    QTest::addRow("double not a number") << "Zdhd3" << QByteArray("x") << QVariant(0.0);
    QTest::addRow("text kept") << "Kjlb" << QByteArray("CTRL+SHIFT+K") << QVariant(QStringLiteral("CTRL+SHIFT+K"));
}

void TestConfig::valuesConvertByToolkitRules()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, raw);
    QFETCH(QVariant, expected);

    TestDir dir;
    writeRaw(kConfigFile, "[AppConfig]\n" + key.toLatin1() + "=" + raw + "\n");
    App::readConfig();
    const QVariant actual = App::configValue(indexOfKey(key));
    QCOMPARE(actual.userType(), expected.userType());
    QCOMPARE(actual, expected);
}

void TestConfig::awkwardTextsSurvive()
{
    TestDir dir;
    App::Mabiao = QStringLiteral("五笔");
    App::Fw = QStringLiteral("跟打结束自动发文");
    App::QianMing = QStringLiteral(" 签名, 带;分号=和空格 ");
    App::ShuRuFa = QStringLiteral("@开头");
    App::Font1 = QStringLiteral("微软雅黑,12,-1,5,50,0,0,0,0,0");
    App::Zdhd3 = 10.0;
    App::writeConfig();

    // No codec is set: the file itself stays ASCII, the characters go in escaped form.
    const QByteArray bytes = readRaw(kConfigFile);
    QVERIFY(!bytes.isEmpty());
    for (const char c : bytes)
        QVERIFY2(uchar(c) < 0x80, "non-ASCII byte in the settings file");

    App::resetConfig();
    App::readConfig();
    QCOMPARE(App::Mabiao, QStringLiteral("五笔"));
    QCOMPARE(App::Fw, QStringLiteral("跟打结束自动发文"));
    QCOMPARE(App::QianMing, QStringLiteral(" 签名, 带;分号=和空格 "));
    QCOMPARE(App::ShuRuFa, QStringLiteral("@开头"));
    QCOMPARE(App::Font1, QStringLiteral("微软雅黑,12,-1,5,50,0,0,0,0,0"));
    QCOMPARE(App::Zdhd3, 10.0);
}

void TestConfig::writesAreStableAndInTableOrder()
{
    TestDir dir;
    QStringList tableKeys;
    for (int i = 0; i < App::configKeyCount(); ++i)
        tableKeys << App::configKey(i);

    App::writeConfig();
    const QByteArray first = readRaw(kConfigFile);
    QCOMPARE(keysInGroup(first, QStringLiteral("AppConfig")), tableKeys);
    QVERIFY(first.contains("\nBianMa=86.txt\n"));
    QVERIFY(first.contains("\nSudu=true\n"));
    QVERIFY(first.contains("\nFanye=500\n"));

    App::writeConfig();
    QCOMPARE(readRaw(kConfigFile), first);

    // A changed value is rewritten in place; the order stays that of the table.
    App::Fanye = 321;
    App::Zdhd4 = 187.5;
    App::writeConfig();
    const QByteArray third = readRaw(kConfigFile);
    QCOMPARE(keysInGroup(third, QStringLiteral("AppConfig")), tableKeys);
    QVERIFY(third.contains("\nFanye=321\n"));
    QVERIFY(third.contains("\nZdhd4=187.5\n"));
}

void TestConfig::unknownKeysAreKept()
{
    TestDir dir;
    writeRaw(kConfigFile, "[AppConfig]\nFanye=77\nZzExtra=keep me\n\n[Other]\nx=1\n");
    App::readConfig();
    QCOMPARE(App::Fanye, 77);
    App::writeConfig();

    QSettings check(kConfigFile, QSettings::IniFormat);
    QCOMPARE(check.value(QStringLiteral("AppConfig/ZzExtra")).toString(), QStringLiteral("keep me"));
    QCOMPARE(check.value(QStringLiteral("Other/x")).toString(), QStringLiteral("1"));
    QCOMPARE(check.value(QStringLiteral("AppConfig/Fanye")).toInt(), 77);
    check.beginGroup(QStringLiteral("AppConfig"));
    QCOMPARE(check.childKeys().size(), 106);

    QStringList expectedOrder;
    for (int i = 0; i < App::configKeyCount(); ++i)
        expectedOrder << App::configKey(i);
    expectedOrder << QStringLiteral("ZzExtra");
    QCOMPARE(keysInGroup(readRaw(kConfigFile), QStringLiteral("AppConfig")), expectedOrder);
}

void TestConfig::unwritableFileIsLoggedAndKeepsGlobals()
{
    TestDir dir;
    // A plain file where the folder should be: neither folder nor settings file can be made.
    writeRaw(QStringLiteral("CONFIG"), "not a folder");
    App::Fanye = 99;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("写入配置失败")));
    App::writeConfig();
    QCOMPARE(App::Fanye, 99);
    QCOMPARE(readRaw(QStringLiteral("CONFIG")), QByteArray("not a folder"));
}

void TestConfig::deploymentFromEnvironment()
{
    const char* names[] = {"TAVREL_DB_HOST", "TAVREL_DB_PORT",     "TAVREL_DB_NAME",
                           "TAVREL_DB_USER", "TAVREL_DB_PASSWORD", "TAVREL_WEB_URL"};
    QHash<QByteArray, QByteArray> saved;
    for (const char* name : names) {
        if (qEnvironmentVariableIsSet(name))
            saved.insert(name, qgetenv(name));
        qunsetenv(name);
    }

    App::loadDeployment();
    QCOMPARE(App::DbHost, QStringLiteral(TAVREL_DEFAULT_DB_HOST));
    QCOMPARE(App::DbName, QStringLiteral(TAVREL_DEFAULT_DB_NAME));
    QCOMPARE(App::DbUser, QStringLiteral(TAVREL_DEFAULT_DB_USER));
    QCOMPARE(App::DbPassword, QStringLiteral(TAVREL_DEFAULT_DB_PASSWORD));
    QCOMPARE(App::WebUrl, QStringLiteral(TAVREL_DEFAULT_WEB_URL));
    const int builtInPort = QStringLiteral(TAVREL_DEFAULT_DB_PORT).toInt();
    QCOMPARE(App::DbPort, builtInPort > 0 ? builtInPort : 3306);

    qputenv("TAVREL_DB_HOST", "127.0.0.1");
    qputenv("TAVREL_DB_PORT", "33061");
    qputenv("TAVREL_DB_NAME", "tavrel_x");
    qputenv("TAVREL_DB_USER", "typist");
    qputenv("TAVREL_DB_PASSWORD", "pw;with=odd chars");
    qputenv("TAVREL_WEB_URL", "http://127.0.0.1:8080");
    App::loadDeployment();
    QCOMPARE(App::DbHost, QStringLiteral("127.0.0.1"));
    QCOMPARE(App::DbPort, 33061);
    QCOMPARE(App::DbName, QStringLiteral("tavrel_x"));
    QCOMPARE(App::DbUser, QStringLiteral("typist"));
    QCOMPARE(App::DbPassword, QStringLiteral("pw;with=odd chars"));
    QCOMPARE(App::WebUrl, QStringLiteral("http://127.0.0.1:8080"));

    // A set but empty host switches a built-in server off; a broken port falls back, logged.
    qputenv("TAVREL_DB_HOST", "");
    qputenv("TAVREL_DB_PORT", "abc");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("TAVREL_DB_PORT")));
    App::loadDeployment();
    QCOMPARE(App::DbHost, QString());
    QCOMPARE(App::DbPort, builtInPort > 0 ? builtInPort : 3306);

    for (const char* name : names) {
        if (saved.contains(name))
            qputenv(name, saved.value(name));
        else
            qunsetenv(name);
    }
    App::loadDeployment();
}

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
