// The login window with its on-screen keyboard, and the main window's account part, on real windows
// against the real database.
#include "account/accountpart.h"
#include "account/frmlogin.h"
#include "app/core/app.h"
#include "app/core/connection.h"
#include "app/core/myhelper.h"
#include "testsupport.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLineEdit>

#include <memory>

using namespace ts;

class TestLogin : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl& url) { m_titles << url.toString(); }

private:
    std::unique_ptr<TestDir> m_dir;
    const QString m_user = QStringLiteral("login%1").arg(QCoreApplication::applicationPid());
    QStringList m_titles; // title messages and opened pages, in order
    int m_reads = 0;
    AccountPart::Host host()
    {
        return {[this](const QString& text, int) { m_titles << text; }, [] {}, [this] { ++m_reads; }};
    }
    static void click(QWidget* window, const char* key)
    {
        QTest::mouseClick(window->findChild<QPushButton*>(key), Qt::LeftButton);
    }
    static bool connect()
    {
        App::DbHost = TestDb::host();
        App::DbPort = TestDb::port();
        App::DbName = TestDb::name();
        App::DbUser = TestDb::user();
        App::DbPassword = TestDb::password();
        return TestDb::available() && createConnection();
    }

private slots:
    void initTestCase()
    {
        App::initResources();
        QDesktopServices::setUrlHandler("http", this, "openUrl");
        if ((App::DbOnline = connect()))
            QVERIFY(myHelper::exec("insert into kelm_user (u_truename,u_email,u_password) values (?,?,?)",
                                   {m_user, m_user + "@example.com", myHelper::getMd5("ab12")}));
    }
    void cleanupTestCase()
    {
        if ((App::DbOnline = connect()))
            myHelper::exec("delete from kelm_user where u_truename=?", {m_user});
    }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        resetWindowGlobals();
        App::CurrentUserName.clear();
        App::CurrentUserPwd.clear();
        App::LoginMenuText = "登陆";
        m_titles.clear();
        m_reads = 0;
    }

    void keyboard()
    {
        frmLogin w;
        w.show();
        auto* account = w.findChild<QLineEdit*>("lineEdit");
        auto* password = w.findChild<QLineEdit*>("txtUserPwd");
        auto* keys = w.findChild<QGroupBox*>("gboxSoftKey");
        QCOMPARE(w.size(), QSize(431, 211));
        click(&w, "btnKey");
        QCOMPARE(w.size(), QSize(431, 293));
        QVERIFY(keys->isVisible());
        QCOMPARE(w.focusWidget(), account);
        QTest::keyClicks(account, "ab");
        for (const char* key : {"btnK", "btn7", "btnCaps", "btnQ", "btn0", "btnCaps", "btnM"})
            click(&w, key);
        QCOMPARE(account->text() + "|" + password->text(), QStringLiteral("ab|k7Q0m"));
        password->setSelection(0, 2);
        click(&w, "btnDelete"); // the last character, not the selection
        click(&w, "btnA");
        QCOMPARE(password->text() + QString::number(password->cursorPosition()), QStringLiteral("k7Q0a5"));
        click(&w, "btnCaps");
        click(&w, "btnKey");
        QCOMPARE(w.size(), QSize(431, 211));
        QVERIFY(!keys->isVisible());
        QCOMPARE(w.findChild<QPushButton*>("btnCaps")->text() + w.findChild<QPushButton*>("btnZ")->text(), "小Z");
        password->clear();
        click(&w, "btnDelete");
        QCOMPARE(password->text(), QString());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addRow("empty account") << "" << "ab12" << "用户名或密码不能为空,请重新输入!";
        QTest::addRow("empty password") << "x" << "" << "用户名或密码不能为空,请重新输入!";
        QTest::addRow("offline") << "x" << "ab12" << "1.请确保网络连接正常 2.若网络正常，请<a href=\"\">点击</a>下载最新版本";
    }
    void refusals()
    {
        frmLogin w;
        w.show();
        QFETCH(QString, account);
        QFETCH(QString, password);
        QTest::keyClicks(w.findChild<QLineEdit*>("lineEdit"), account);
        QTest::keyClicks(w.findChild<QLineEdit*>("txtUserPwd"), password);
        BoxAnswerer box(true);
        click(&w, "btnLogin");
        QTEST(box.text, "message");
        QVERIFY(w.isVisible());
        QVERIFY(!storedRecord("CurrentUserName").isValid());
    }

    // Signing in by e-mail address through the menu, the password typed on the on-screen keyboard.
    void signInAndOut()
    {
        if (!(App::DbOnline = connect()))
            QSKIP("no test database");
        AccountPart part(host());
        part.loginSlot();
        QPointer<frmLogin> w = part.loginWindow();
        QTest::keyClicks(w->findChild<QLineEdit*>("lineEdit"), m_user + "@example.com");
        for (const char* key : {"btnKey", "btnA", "btnB", "btn1", "btn2", "btnLogin"})
            click(w, key);
        QTRY_VERIFY(!w);
        QVERIFY(part.signedIn());
        QCOMPARE(App::LoginMenuText + App::RegisterMenuText, "欢迎您，" + m_user + "退出");
        QCOMPARE(storedRecord("CurrentUserPwd").toString(), myHelper::getMd5("ab12"));
        QCOMPARE(m_reads, 1);
        part.loginSlot(); // the greeting opens nothing
        QVERIFY(!part.loginWindow());
        App::WebUrl = "http://127.0.0.1:9";
        part.regSlot();
        part.regSlot();
        part.rankSlot();
        QCOMPARE(m_titles, QStringList({"登陆成功！", "退出成功！", App::WebUrl + "/index.php/Home/Cloud/index",
                                        App::WebUrl + "/index.php/Home/Rank/result"}));
        QCOMPARE(storedRecord("CurrentUserName").toString() + App::LoginMenuText, "登陆");
    }

    void rememberedAtStart_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("signedIn");
        QTest::addRow("digest") << myHelper::getMd5("ab12") << true << true;
        QTest::addRow("legacy plain password") << "ab12" << true << true;
        QTest::addRow("changed on the server") << myHelper::getMd5("old") << true << false;
        QTest::addRow("offline") << "ab12" << false << false;
    }
    void rememberedAtStart()
    {
        QFETCH(QString, stored);
        QFETCH(bool, online);
        if (!(App::DbOnline = connect()))
            QSKIP("no test database");
        myHelper::exec("update kelm_user set u_totaljilu=0 where u_truename=?", {m_user});
        App::DbOnline = online;
        App::CurrentUserName = m_user;
        App::CurrentUserPwd = stored;
        App::Jilu = 777;
        App::writeStats();
        AccountPart part(host());
        part.checkRememberedLogin();
        part.jltoSql(1, QString(), QString(), "2026-12-07");
        QTEST(part.signedIn(), "signedIn");
        // Remembered either way, never as the plain password; synced only when signed in.
        QCOMPARE(storedRecord("CurrentUserName").toString(), m_user);
        QCOMPARE(storedRecord("CurrentUserPwd").toString(), stored.size() == 32 ? stored : myHelper::getMd5(stored));
        App::DbOnline = true;
        QCOMPARE(myHelper::getOne("select u_totaljilu from kelm_user where u_truename=?", {m_user}),
                 part.signedIn() ? "777" : "0");
    }
};

QTEST_MAIN(TestLogin)
#include "test_login.moc"
