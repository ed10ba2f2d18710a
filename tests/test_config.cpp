#include "app/core/app.h"
#include "deployment.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <functional>

namespace {

const QString kConfigFile = QStringLiteral("CONFIG/settings.ini");

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray readRaw(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList tableKeys()
{
    QStringList keys;
    for (int i = 0; i < App::configKeyCount(); ++i)
        keys << App::configKey(i);
    return keys;
}

// Key names of the file's settings group, in the order they stand there.
QStringList fileKeys()
{
    QStringList keys;
    bool inGroup = false;
    for (const QByteArray& line : readRaw(kConfigFile).split('\n')) {
        if (line.startsWith('['))
            inGroup = line.trimmed() == "[AppConfig]";
        else if (inGroup && line.indexOf('=') > 0)
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

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { verifyValues(); } // static initialisation already set the defaults
    void init() { App::resetConfig(); }

    void tableShape()
    {
        // Keys are unique and the table ends where the file's key list does. The key-rate threshold
        // holds fractions: an int default would read "9.5" as 0.
        const QStringList keys = tableKeys();
        QCOMPARE(keys.size(), 105); // a key dropped from the table would silently stop being stored
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        QVERIFY(App::configKey(keys.size()).isEmpty() && !App::configValue(-1).isValid());
        QCOMPARE(App::configDefault(keys.indexOf("Zdhd3")).userType(), int(QMetaType::Double));
    }

    void everyKeyRoundTrips()
    {
        TestDir dir;
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
            return QStringLiteral("@ %1改;=,").arg(i) + def.toString() + ' ';
        };
        for (int i = 0; i < App::configKeyCount(); ++i)
            App::setConfigValue(i, changed(i));
        App::writeConfig();
        // No codec is set: the file stays ASCII, the characters go in escaped form.
        const QByteArray bytes = readRaw(kConfigFile);
        QVERIFY(!bytes.isEmpty() && std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }));
        App::resetConfig();
        App::readConfig();
        verifyValues(changed);
    }

    void absentOrUnreadableFileKeepsDefaults()
    {
        TestDir dir;
        App::readConfig();
        verifyValues();
        QVERIFY(!QFileInfo::exists(QStringLiteral("CONFIG")));
        QVERIFY(QDir().mkpath(kConfigFile)); // a folder where the file should be
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("读取配置失败")));
        App::readConfig();
        verifyValues();
    }

    // Missing keys read as empty, false or zero; garbled ones convert by the toolkit's rules.
    void missingAndGarbledValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QVariant>("expected");
        QTest::addRow("int not a number") << QByteArray("Fanye=abc") << QVariant(0);
        QTest::addRow("int with fraction") << QByteArray("Width=12.5") << QVariant(0);
        QTest::addRow("bool any text") << QByteArray("Sudu=abc") << QVariant(true);
        QTest::addRow("bool FALSE") << QByteArray("Sudu=FALSE") << QVariant(false);
        QTest::addRow("bool empty") << QByteArray("Gdyw=") << QVariant(false);
        QTest::addRow("double not a number") << QByteArray("Zdhd3=x") << QVariant(0.0);
        // Beyond an int: clamped, never wrapped.
        QTest::addRow("int too large") << QByteArray("Fanye=99999999999") << QVariant(INT_MAX);
        QTest::addRow("int too small") << QByteArray("X=-99999999999") << QVariant(INT_MIN);
        QTest::addRow("int beyond 64 bits") << QByteArray("Width=+123456789012345678901234") << QVariant(INT_MAX);
    }

    void missingAndGarbledValues()
    {
        QFETCH(QByteArray, line);
        QFETCH(QVariant, expected);
        TestDir dir;
        writeRaw(kConfigFile, "[AppConfig]\n" + line + "\n");
        App::readConfig();
        const QString key = QString::fromLatin1(line.left(line.indexOf('=')));
        verifyValues([&](int i) {
            return App::configKey(i) == key ? expected : QVariant(App::configDefault(i).userType(), nullptr);
        });
    }

    void fileKeepsTableOrderAndUnknownKeys()
    {
        TestDir dir;
        writeRaw(kConfigFile, "[AppConfig]\nZzExtra=keep me\nFanye=77\n\n[Other]\nx=1\n");
        App::readConfig();
        App::writeConfig();
        const QByteArray first = readRaw(kConfigFile);
        QCOMPARE(fileKeys(), tableKeys() << QStringLiteral("ZzExtra"));
        QVERIFY(first.contains("\nFanye=77\n") && first.contains("\nSudu=false\n") && first.contains("\nx=1\n"));
        App::writeConfig();
        QCOMPARE(readRaw(kConfigFile), first);
        // A changed value is rewritten in place.
        App::Zdhd4 = 187.5;
        App::writeConfig();
        QCOMPARE(fileKeys(), tableKeys() << QStringLiteral("ZzExtra"));
        QVERIFY(readRaw(kConfigFile).contains("\nZdhd4=187.5\n"));
    }

    void unwritableFileIsLoggedAndKeepsGlobals()
    {
        TestDir dir;
        writeRaw(QStringLiteral("CONFIG"), "not a folder");
        App::Fanye = 99;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("写入配置失败")));
        App::writeConfig();
        QCOMPARE(App::Fanye, 99);
        QCOMPARE(readRaw(QStringLiteral("CONFIG")), QByteArray("not a folder"));
    }

    void deploymentFromEnvironment()
    {
        const QList<QByteArray> names{"TAVREL_DB_HOST", "TAVREL_DB_PORT", "TAVREL_DB_USER", "TAVREL_DB_PASSWORD"};
        for (const QByteArray& name : names)
            qunsetenv(name);
        const int builtInPort = QStringLiteral(TAVREL_DEFAULT_DB_PORT).toInt();
        const int defaultPort = builtInPort > 0 ? builtInPort : 3306;
        App::loadDeployment();
        QCOMPARE((QStringList{App::DbHost, App::DbUser, QString::number(App::DbPort)}),
                 (QStringList{TAVREL_DEFAULT_DB_HOST, TAVREL_DEFAULT_DB_USER, QString::number(defaultPort)}));

        const QList<QByteArray> values{"127.0.0.1", "33061", "typist", "pw;with=odd chars"};
        for (int i = 0; i < names.size(); ++i)
            qputenv(names.at(i), values.at(i));
        App::loadDeployment();
        QCOMPARE((QStringList{App::DbHost, QString::number(App::DbPort), App::DbUser, App::DbPassword}),
                 (QStringList{"127.0.0.1", "33061", "typist", "pw;with=odd chars"}));

        // A set but empty host switches a built-in server off; a broken port falls back, logged.
        qputenv("TAVREL_DB_HOST", "");
        qputenv("TAVREL_DB_PORT", "abc");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("TAVREL_DB_PORT")));
        App::loadDeployment();
        QVERIFY(App::DbHost.isEmpty() && App::DbPort == defaultPort);
        for (const QByteArray& name : names)
            qunsetenv(name);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
