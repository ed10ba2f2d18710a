// The login window on the X display with openbox, styled as the program styles it: where it stays
// when the keyboard opens or it is dragged, and what the keyboard's keys type. That every control
// shows whole at both sizes is checked with the other windows.
#include "account/frmlogin.h"
#include "app/look.h"
#include "platform/x11windowsystem.h"
#include "testsupport.h"

#include "x11support.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>

class TestLoginX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    platform::X11WindowSystem m_ws;
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmLogin> m_w;

    // Where the window manager has the window, not where Qt believes it is.
    QRect placed()
    {
        QRect rect;
        m_ws.windowRect(m_w->winId(), &rect);
        return rect;
    }
    // The middle of a control, on the screen where the user sees it.
    QPoint seen(const char* name)
    {
        auto* control = m_w->findChild<QWidget*>(QLatin1String(name));
        return placed().topLeft() + control->mapTo(m_w.get(), control->rect().center());
    }
    // A user's drag through the X server, in four steps.
    void drag(const QPoint& from, const QPoint& by)
    {
        Display* d = m_x.display();
        XTestFakeMotionEvent(d, DefaultScreen(d), from.x(), from.y(), CurrentTime);
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        for (int step = 1; step <= 4; ++step)
            XTestFakeMotionEvent(d, DefaultScreen(d), from.x() + by.x() * step / 4, from.y() + by.y() * step / 4,
                                 CurrentTime);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
        XFlush(d);
    }
    // A new window, placed by the window manager and active, as a user finds it.
    bool open()
    {
        m_w = std::make_unique<frmLogin>();
        m_w->show();
        return xt::active(m_w.get()) && xt::waitFor([this] { return placed().size() == QSize(431, 211); });
    }
    void press(const char* name) const
    {
        QTest::mouseClick(m_w->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    QGroupBox* keyboard() const { return m_w->findChild<QGroupBox*>("gboxSoftKey"); }
    // Where the first link of a rich text leads, as a label opens it.
    static QString linkTarget(const QTextDocument& text)
    {
        for (QTextBlock block = text.begin(); block.isValid(); block = block.next())
            for (auto part = block.begin(); !part.atEnd(); ++part)
                if (part.fragment().charFormat().isAnchor())
                    return part.fragment().charFormat().anchorHref();
        return QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_ws.isOpen() && m_x.isOpen(), "needs an X display (run under test.sh)");
        App::initResources();
        App::resetConfig();
        QVERIFY(applyStyleSheet(App::Style));
        applyWindowFonts();
    }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        App::CurrentUserName.clear();
        App::DbOnline = false;
        QVERIFY(open());
    }
    void cleanup() { m_w.reset(); }

    // The keyboard grows the window downwards from where the window manager put it, also after a
    // drag by the banner, which moves it by the drag's distance. Only some openings leave Qt unaware of
    // that place, so each case opens the window several times.
    void keepsItsPlace_data()
    {
        QTest::addColumn<QPoint>("moved");
        QTest::addRow("keyboard at once") << QPoint();
        QTest::addRow("dragged by the banner") << QPoint(40, 20);
    }
    void keepsItsPlace()
    {
        QFETCH(QPoint, moved);
        for (int opening = 0; opening < 8; ++opening) {
            QVERIFY(open());
            const QPoint where = placed().topLeft() + moved;
            if (!moved.isNull()) {
                drag(seen("labTitle"), moved);
                QVERIFY(xt::waitFor([&] { return placed().topLeft() == where; }));
            }
            for (int height : {293, 211}) {
                m_x.click(1, seen("btnKey"));
                QVERIFY(xt::waitFor([&] { return placed().height() == height; }));
                QCOMPARE(placed().topLeft(), where);
            }
        }
    }

    // The keyboard's keys type into the password field only; an empty field, then no database,
    // refuse the sign-in before anything is sent.
    void keysTypeIntoThePasswordOnly()
    {
        auto* account = m_w->findChild<QLineEdit*>("lineEdit");
        auto* password = m_w->findChild<QLineEdit*>("txtUserPwd");
        press("btnKey");
        QVERIFY(m_w->size() == QSize(431, 293) && keyboard()->isVisible() && m_w->focusWidget() == account);
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
        QVERIFY(m_w->size() == QSize(431, 211) && !keyboard()->isVisible());
        QCOMPARE(m_w->findChild<QPushButton*>("btnCaps")->text() + m_w->findChild<QPushButton*>("btnZ")->text(), "小Z");
        password->clear();
        press("btnDelete");
        {
            ts::BoxAnswerer box(true);
            press("btnLogin");
            QCOMPARE(box.text, QStringLiteral("用户名或密码不能为空,请重新输入!"));
        }
        // Offline the box links to the download address, whatever characters the deployment gave it.
        QVERIFY(App::DownloadUrl.contains('"') && App::DownloadUrl.contains('&'));
        press("btnK");
        ts::BoxAnswerer box(true);
        press("btnLogin");
        QTextDocument shown;
        shown.setHtml(box.text);
        QCOMPARE(box.format, Qt::RichText);
        QCOMPARE(shown.toPlainText(), QStringLiteral("1.请确保网络连接正常 2.若网络正常，请点击下载最新版本"));
        QCOMPARE(linkTarget(shown), App::DownloadUrl);
        QVERIFY(m_w->isVisible() && !ts::storedRecord("CurrentUserName").isValid());
    }
};

QTEST_MAIN(TestLoginX11)
#include "test_login_x11.moc"
