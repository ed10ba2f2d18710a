// The settings logic without widgets: hot-key conflicts, and the input-method name on the user's row.
#include "account/core/hotkeys.h"
#include "account/core/inputmethodsync.h"
#include "dbsupport.h"

namespace {

const QStringList kDefaults = {"F1", "F2", "F3", "CTRL+L", "Return", "F8", "CTRL+P", "CTRL+T",
                               "CTRL+F4", "F4", "F5", "F9", "ALT+Q", "ALT+D", "CTRL+F", "F7"};

QStringList withKeys(const QMap<int, QString>& changes)
{
    QStringList keys = kDefaults;
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        keys[it.key()] = it.value();
    return keys;
}

} // namespace

class TestSettingCore : public QObject
{
    Q_OBJECT

private:
    const QString m_user = QStringLiteral("set%1-user").arg(QCoreApplication::applicationPid());

private slots:
    void conflict_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("conflict");
        QTest::addRow("defaults, F4 apart from CTRL+F4") << kDefaults << false;
        QTest::addRow("F5 twice") << withKeys({{0, "F5"}}) << true;
        QTest::addRow("empty keys are never compared") << withKeys({{0, ""}, {1, ""}, {2, ""}}) << false;
        QTest::addRow("case differs") << withKeys({{3, "ctrl+l"}, {4, "CTRL+L"}}) << false;
        QTest::addRow("open key") << withKeys({{6, "CTRL+O"}}) << true;
        QTest::addRow("save key inside another") << withKeys({{7, "ALT+CTRL+S"}}) << true;
        QTest::addRow("CTRL+SHIFT+A holds CTRL+S") << withKeys({{7, "CTRL+SHIFT+A"}}) << true;
        QTest::addRow("save key in other case") << withKeys({{7, "Ctrl+S"}}) << false;
        QTest::addRow("equal to an entry with a prefix") << withKeys({{10, "CTRL+F4"}}) << true;
    }

    void conflict()
    {
        QFETCH(QStringList, keys);
        QTEST(HotKeys::conflict(keys), "conflict");
    }

    void inputMethodUpdate_data()
    {
        QTest::addColumn<bool>("show");
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<bool>("stored");
        QTest::addRow("switch off") << false << true << true << false;
        QTest::addRow("offline") << true << false << true << false;
        QTest::addRow("nobody logged in") << true << true << false << false;
        QTest::addRow("hostile name stored literally") << true << true << true << true;
    }

    void inputMethodUpdate()
    {
        if (!TestDb::available())
            QSKIP("TAVREL_TEST_DB_HOST/TAVREL_TEST_DB_PORT not set: no test database to talk to");
        QVERIFY(dbt::connect());
        QFETCH(bool, show);
        QFETCH(bool, online);
        QFETCH(bool, loggedIn);
        QFETCH(bool, stored);
        QVERIFY(myHelper::exec("DELETE FROM kelm_user WHERE u_truename = ?", {m_user}));
        QVERIFY(myHelper::exec("INSERT INTO kelm_user (u_truename, u_password, u_srf) VALUES (?, ?, ?)",
                               {m_user, QStringLiteral("pw"), QStringLiteral("old")}));
        const QString before = myHelper::getOne("SELECT COUNT(*) FROM kelm_user WHERE u_srf = 'old'");

        const QString name = QStringLiteral("五笔', u_password='x");
        sendInputMethod({show, online, name, loggedIn ? m_user : QString()});

        QCOMPARE(dbt::firstRow("SELECT u_srf, u_password FROM kelm_user WHERE u_truename = ?", {m_user}),
                 QStringList({stored ? name : QStringLiteral("old"), QStringLiteral("pw")}));
        // An empty name reaches no other row either.
        if (!loggedIn)
            QCOMPARE(myHelper::getOne("SELECT COUNT(*) FROM kelm_user WHERE u_srf = 'old'"), before);
        QVERIFY(myHelper::exec("DELETE FROM kelm_user WHERE u_truename = ?", {m_user}));
    }
};

QTEST_GUILESS_MAIN(TestSettingCore)
#include "test_settingcore.moc"
