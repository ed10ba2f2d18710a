// The whole road on a real X display against the stand-in chat program: segments captured from its
// history, a passage typed with real key strokes (counted by the key source and the pane's filter),
// the posts arriving byte for byte, and the X selection refused by the middle button.
#include "platform/keysource.h"
#include "typing/coresettings.h"
#include "testsupport.h"
#include "typing/core/capture.h"
#include "typing/core/resultline.h"
#include "x11support.h"

class TestChatX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    platform::KeySource m_keys{&CoreSettings::countKeyWord};
    std::unique_ptr<ts::MainWindowFixture> m_f;
    xt::ChatStub m_stub;
    platform::WindowHandle m_chat = 0;
    QByteArray m_lastLine;

    // Captures the newest segment from the chat history; the chat window is minimised afterwards.
    void capture(int way)
    {
        App::GetWay = way; // 0 by Tab, 1 by a click at the window's centre
        m_f->w().zdzwSlot();
        XT_TRY_VERIFY(m_x.iconic(m_chat));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_x.isOpen(), "needs an X display with XTest (run under test.sh)");
        App::initResources();
        m_f = std::make_unique<ts::MainWindowFixture>();
        App::Gdyslim = 100; // the wait between paste and send, while the stub fetches our clipboard
        QVERIFY(m_keys.install());
        QVERIFY((m_chat = m_stub.start(m_f->dir().path(), platform::windowSystem())) != 0);
        m_f->open(true);
        QAction* entry = m_f->action({"换群", xt::ChatStub::title()});
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(App::ChatHwnd, m_chat);
        // The binding also found the own window by its title.
        QCOMPARE(App::SelfHwnd, platform::WindowHandle(m_f->w().winId()));
    }
    void cleanupTestCase() { m_f.reset(); }

    void typedRunPostsVerifiedLine()
    {
        const QString passage = QStringLiteral("hello; world 3.");
        QVERIFY(m_stub.receive(buildFawenPost(QStringLiteral("旧文"), QStringLiteral("较早的一段。"), "第1段", 200)));
        QVERIFY(m_stub.receive(buildFawenPost(QStringLiteral("英文练习"), passage, "第5段", 0)));
        capture(0);
        QCOMPARE(m_f->reference()->toPlainText(), passage); // the newest segment

        QVERIFY(platform::windowSystem().setForegroundWindow(m_f->w().winId(), 3000));
        QTextEdit* typing = m_f->typing();
        typing->setFocus();
        XT_TRY_VERIFY(typing->hasFocus());
        const int before = m_stub.sent().size();
        for (const QChar c : passage)
            QVERIFY2(m_x.typeInto(typing, c), qPrintable(QString(c)));
        // The run ends on the next tick; the end then posts its line into the chat.
        m_lastLine = m_stub.nextSent(before);
        QVERIFY2(m_lastLine.startsWith(QStringLiteral("第5段 ").toUtf8()), m_lastLine.constData());
        QVERIFY2(m_lastLine.contains(QStringLiteral(" 字数15 ").toUtf8()), m_lastLine.constData());
        QCOMPARE(verifyResultLine(QString::fromUtf8(m_lastLine), App::ShuRuFa2, App::QianMing2).outcome,
                 LineCheck::Genuine);

        // The first key resets the run, its counts with it; every later key counts once. The filter
        // takes back the selection the keyboard counted for ";" and "3", which chose nothing here.
        QCOMPARE(App::KeyCount, passage.size() - 1);
        QCOMPARE(App::SelectCount, 0);
        QCOMPARE(App::EnterCount + App::BackCount + App::CorrectCount, 0);
        QCOMPARE(m_f->cell(0, "键数"), QString::number(App::KeyCount));
    }

    void postsAfterCaptureStillArrive()
    {
        const QString title = QStringLiteral("春晓");
        const QString passage = QStringLiteral("春眠不觉晓，处处闻啼鸟。");
        QVERIFY(m_stub.receive(buildFawenPost(title, passage, "第7段", 40)));
        capture(1);
        QCOMPARE(m_f->reference()->toPlainText(), passage);
        QCOMPARE(m_f->statusText("段号"), QStringLiteral("段号: 第7段"));

        // The minimised chat window comes back for the share command and for the result command.
        int before = m_stub.sent().size();
        m_f->w().shSlot();
        QCOMPARE(m_stub.nextSent(before), buildFawenPost(title, passage, "第7段", 0).toUtf8());
        before = m_stub.sent().size();
        QVERIFY(!m_lastLine.isEmpty());
        m_f->w().cjSlot();
        QCOMPARE(m_stub.nextSent(before), m_lastLine);
    }

    void lateChatWindow_data()
    {
        QTest::addColumn<int>("lateMs"); // -1: never comes forward
        QTest::addRow("1.5 s late") << 1500;
        QTest::addRow("never") << -1;
    }

    // A chat window slow to come forward still gets the line; one that never does leaves the line
    // on the clipboard and the notice in the title until the next run starts.
    void lateChatWindow()
    {
        QFETCH(int, lateMs);
        QVERIFY(m_stub.receive(QString::number(lateMs), "late"));
        m_f->lay(QStringLiteral("abc"));
        const int before = m_stub.sent().size();
        m_f->type(QStringLiteral("abc"));
        QCOMPARE(QApplication::clipboard()->text(), m_f->waitLine());
        XT_TRY_COMPARE(m_stub.sent().size(), before + (lateMs > 0 ? 1 : 0));
        const auto noticed = [this] { return m_f->title().contains(QStringLiteral("聊天窗口未能激活，未发送")); };
        m_f->w().Reset(); // a new run prepared, not begun
        QCOMPARE(noticed(), lateMs < 0);
        m_f->type(QStringLiteral("a"));
        QVERIFY(!noticed());
    }

    void middleButtonPasteRefused()
    {
        // A plain pane pastes the selection, so the refusal below means something.
        QTextEdit control;
        control.setGeometry(700, 600, 300, 120);
        control.show();
        QVERIFY(xt::exposed(&control));
        QApplication::clipboard()->setText(QStringLiteral("xyz"), QClipboard::Selection);
        m_x.click(2, control.viewport());
        XT_TRY_COMPARE(control.toPlainText(), QStringLiteral("xyz"));
        control.hide();

        m_f->lay(QStringLiteral("abcdef"));
        QVERIFY(platform::windowSystem().setForegroundWindow(m_f->w().winId(), 3000));
        QTextEdit* typing = m_f->typing();
        typing->setFocus();
        XT_TRY_VERIFY(typing->hasFocus());
        QVERIFY(m_x.typeInto(typing, QLatin1Char('a')));
        QApplication::clipboard()->setText(QStringLiteral("bcdef"), QClipboard::Selection);
        xt::InputRecorder recorder;
        typing->viewport()->installEventFilter(&recorder);
        m_x.click(2, typing->viewport());
        XT_TRY_COMPARE(recorder.middleReleases, 1); // the click reached the pane ...
        QTest::qWait(50);
        QCOMPARE(typing->toPlainText(), QStringLiteral("a")); // ... and pasted nothing
    }
};

QTEST_MAIN(TestChatX11)
#include "test_chat_x11.moc"
