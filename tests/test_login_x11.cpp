// The login window on the X display with openbox, styled as the program styles it: what shows of it
// at both sizes, where it stays when the keyboard opens or it is dragged, and a password clicked on
// its keyboard alone.
#include "account/frmlogin.h"
#include "app/look.h"
#include "dbsupport.h"
#include "platform/x11windowsystem.h"

#include "x11support.h"

#include <QGroupBox>
#include <QLineEdit>

class TestLoginX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    mutable platform::X11WindowSystem m_ws;
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmLogin> m_w;

    // Where the window manager has the window, not where Qt believes it is.
    QRect placed() const
    {
        QRect rect;
        m_ws.windowRect(m_w->winId(), &rect);
        return rect;
    }
    // The middle of a control, on the screen where the user sees it.
    QPoint seen(const char* name) const
    {
        auto* control = m_w->findChild<QWidget*>(QLatin1String(name));
        return placed().topLeft() + control->mapTo(m_w.get(), control->rect().center());
    }
    // A user's click through the X server; true once `done` holds.
    bool click(const char* name, const std::function<bool()>& done)
    {
        m_x.click(1, seen(name));
        return QTest::qWaitFor(done);
    }
    void press(const char* name) const
    {
        QTest::mouseClick(m_w->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    QGroupBox* keyboard() const { return m_w->findChild<QGroupBox*>("gboxSoftKey"); }
    QLineEdit* edit(const char* name) const { return m_w->findChild<QLineEdit*>(QLatin1String(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_ws.isOpen() && m_x.isOpen(), "needs an X display (run under test.sh)");
        App::initResources();
        App::resetConfig();
        // As the program starts: its style sheet, and its Windows UI font on an installed Chinese one.
        QVERIFY(applyStyleSheet(App::Style));
        applyWindowFonts();
    }
    // A new window each case, placed by the window manager and active, as a user finds it.
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        App::CurrentUserName.clear();
        App::CurrentUserPwd.clear();
        App::DbOnline = false;
        m_w = std::make_unique<frmLogin>();
        m_w->show();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        QVERIFY(QTest::qWaitFor([this] { return placed().size() == QSize(431, 211); }));
    }
    void cleanup()
    {
        m_w.reset();
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    }

    // Every control shows whole at both sizes, and the banner keeps its design height.
    void everyControlShows_data()
    {
        QTest::addColumn<bool>("keys");
        QTest::addRow("431x211") << false;
        QTest::addRow("431x293 with the keyboard") << true;
    }
    void everyControlShows()
    {
        QFETCH(bool, keys);
        if (keys)
            QVERIFY(click("btnKey", [this] { return keyboard()->isVisible(); }));
        QCOMPARE(m_w->size(), keys ? QSize(431, 293) : QSize(431, 211));
        const QStringList clipped = ts::clippedControls(m_w.get());
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
        QCOMPARE(m_w->findChild<QLabel*>("labTitle")->height(), 60);
    }

    // The window stays where the window manager put it: the keyboard grows it downwards, also after
    // the empty-field box, and a drag moves it by the drag's distance.
    void keepsItsPlace_data()
    {
        QTest::addColumn<QString>("first"); // what the user does before the keyboard
        QTest::addRow("keyboard at once") << "";
        QTest::addRow("keyboard after the empty-field box closed by Return") << "box";
        QTest::addRow("dragged by the banner") << "drag";
    }
    void keepsItsPlace()
    {
        QFETCH(QString, first);
        QPoint where = placed().topLeft();
        if (first == "box") {
            // The box runs its own loop: it is answered from a timer, by the key a user presses.
            QPointer<QWidget> box;
            bool answered = false;
            QTimer answer;
            connect(&answer, &QTimer::timeout, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!answered && modal && modal != m_w.get() && modal->isActiveWindow()) {
                    box = modal;
                    answered = true;
                    m_x.chord({}, XK_Return);
                }
            });
            answer.start(20);
            QVERIFY(click("btnLogin", [&] { return answered && !box; }));
            QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        } else if (first == "drag") {
            const QPoint from = seen("labTitle");
            Display* d = m_x.display();
            XTestFakeMotionEvent(d, DefaultScreen(d), from.x(), from.y(), CurrentTime);
            XTestFakeButtonEvent(d, 1, True, CurrentTime);
            for (int step = 1; step <= 4; ++step)
                XTestFakeMotionEvent(d, DefaultScreen(d), from.x() + 10 * step, from.y() + 5 * step, CurrentTime);
            XTestFakeButtonEvent(d, 1, False, CurrentTime);
            XFlush(d);
            where += QPoint(40, 20);
            QVERIFY2(QTest::qWaitFor([&] { return placed().topLeft() == where; }),
                     qPrintable(QStringLiteral("at %1,%2").arg(placed().x()).arg(placed().y())));
        }
        for (bool shown : {true, false}) {
            QVERIFY(click("btnKey", [&] { return keyboard()->isVisible() == shown; }));
            QVERIFY(QTest::qWaitFor([&] { return placed().height() == (shown ? 293 : 211); }));
            QCOMPARE(placed().topLeft(), where);
        }
    }

    // The keyboard's keys, through Qt's own clicks: they type into the password field only.
    void keysTypeIntoThePasswordOnly()
    {
        frmLogin& w = *m_w;
        auto* account = w.findChild<QLineEdit*>("lineEdit");
        auto* password = w.findChild<QLineEdit*>("txtUserPwd");
        auto* keys = w.findChild<QGroupBox*>("gboxSoftKey");
        QCOMPARE(w.size(), QSize(431, 211));
        press("btnKey");
        QVERIFY(w.size() == QSize(431, 293) && keys->isVisible() && w.focusWidget() == account);
        QTest::keyClicks(account, "ab");
        for (const char* key : {"btnK", "btn7", "btnCaps", "btnQ", "btn0", "btnCaps", "btnM"})
            press(key);
        QCOMPARE(account->text() + "|" + password->text(), QStringLiteral("ab|k7Q0m"));
        password->setSelection(0, 2);
        press("btnDelete"); // the last character, not the selection
        press("btnA");
        QCOMPARE(password->text() + QString::number(password->cursorPosition()), QStringLiteral("k7Q0a5"));
        press("btnCaps");
        press("btnKey");
        QVERIFY(w.size() == QSize(431, 211) && !keys->isVisible());
        QCOMPARE(w.findChild<QPushButton*>("btnCaps")->text() + w.findChild<QPushButton*>("btnZ")->text(), "小Z");
        password->clear();
        press("btnDelete");
        // Refused before anything is sent: an empty field, then no database.
        App::DbOnline = false;
        for (const char* message : {"用户名或密码不能为空,请重新输入!",
                                    "1.请确保网络连接正常 2.若网络正常，请<a href=\"\">点击</a>下载最新版本"}) {
            ts::BoxAnswerer box(true);
            press("btnLogin");
            QCOMPARE(box.text, QString::fromUtf8(message));
            press("btnK");
        }
        QVERIFY(w.isVisible() && !ts::storedRecord("CurrentUserName").isValid());
    }

    // The account typed, the password clicked on the keyboard alone (caps on and off), against
    // the real database.
    void keyboardPasswordSignsIn()
    {
        if (!dbt::connect())
            QSKIP("no test database");
        const QString name = QStringLiteral("login%1").arg(QCoreApplication::applicationPid());
        QVERIFY(myHelper::exec("insert into kelm_user (u_truename,u_password) values (?,?)",
                               {name, myHelper::getMd5("Ab3x")}));
        QSignalSpy sent(m_w.get(), &frmLogin::loginSend);
        QTest::keyClicks(edit("lineEdit"), name);
        QVERIFY(click("btnKey", [this] { return keyboard()->isVisible(); }));
        auto* caps = m_w->findChild<QPushButton*>("btnCaps");
        const auto state = [&] { return edit("txtUserPwd")->text() + caps->text(); };
        for (const char* key : {"btnCaps", "btnA", "btnCaps", "btnB", "btn3", "btnX"}) {
            const QString before = state();
            QVERIFY2(click(key, [&] { return state() != before; }), key);
        }
        QCOMPARE(edit("txtUserPwd")->text(), QStringLiteral("Ab3x"));
        QVERIFY(click("btnLogin", [&] { return !sent.isEmpty(); }));
        QCOMPARE(sent.first().first().toString(), QStringLiteral("1"));
        QVERIFY(!m_w->isVisible() && App::CurrentUserName == name);
        myHelper::exec("delete from kelm_user where u_truename=?", {name});
    }
};

QTEST_MAIN(TestLoginX11)
#include "test_login_x11.moc"
