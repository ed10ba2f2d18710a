// The chat-window road end to end on a real X display: the stand-in chat program in its own
// process, the real main window bound to it from the group menu, segments captured from its history,
// a captured passage typed with real key strokes, and the posts arriving in the chat byte for byte.
#include "app/core/app.h"
#include "platform/keysource.h"
#include "testsupport.h"
#include "typing/core/capture.h"
#include "typing/coresettings.h"
#include "typing/frmmain.h"
#include "typing/core/resultline.h"
#include "x11support.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <memory>

class TestChatX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    TestDir m_dir;
    platform::KeySource m_keys{&CoreSettings::countKeyWord};
    std::unique_ptr<frmMain> m_window;
    xt::ChatStub m_stub;
    platform::WindowHandle m_chat = 0;

    // Captures the newest segment from the chat history; the chat window is minimised afterwards.
    void capture(int way)
    {
        App::GetWay = way; // 0 by Tab, 1 by a click at the window's centre
        m_window->zdzwSlot();
        QTRY_VERIFY(platform::windowSystem().isWindowMinimized(m_chat));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_x.isOpen(), "needs an X display with XTest (run under test.sh)");
        App::initResources();
        ts::resetWindowGlobals();
        App::Quchu = false; // an ASCII passage is typed as it stands
        App::Tihuan = false;
        App::Gdyslim = 100; // the wait between paste and send, while the stub fetches our clipboard
        QVERIFY(m_keys.install());
        QVERIFY((m_chat = m_stub.start(m_dir.path(), platform::windowSystem())) != 0);
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanupTestCase()
    {
        if (m_window) {
            m_window->close();
            ts::consumeQuitRequest();
        }
        m_window.reset();
    }

    void bindFromGroupMenu()
    {
        frmMain& w = *m_window;
        for (QAction* action : w.m_chatMenu->actions()) {
            if (action->text() == xt::ChatStub::title())
                action->trigger();
        }
        QCOMPARE(App::ChatTitle, xt::ChatStub::title());
        QCOMPARE(App::ChatHwnd, m_chat);
        QCOMPARE(w.labChat->text(), QStringLiteral("QQ群: ") + xt::ChatStub::title());
        // The binding also found the own window by its title; it is never a group.
        QCOMPARE(App::SelfHwnd, platform::WindowHandle(w.winId()));
        QVERIFY(!App::ChatTitles.contains(App::AppTitle));
    }

    void historyWithoutMarkerLoadsNothing()
    {
        frmMain& w = *m_window;
        QVERIFY(m_stub.receive(QStringLiteral("大家好，今天练什么？")));
        const QString passage = w.passage;
        // The message shows for a while within the call, so the title is watched meanwhile.
        QStringList titles;
        QTimer poll;
        auto* titleLabel = w.findChild<QLabel*>(QStringLiteral("lab_Title"));
        connect(&poll, &QTimer::timeout, this, [&] { titles << titleLabel->text(); });
        poll.start(10);
        capture(0);
        poll.stop();
        QVERIFY2(!titles.filter(QStringLiteral("暂无文本！")).isEmpty(), qPrintable(titles.join('\n')));
        QCOMPARE(w.passage, passage);
    }

    void typedRunPostsVerifiedLine()
    {
        frmMain& w = *m_window;
        const QString passage = QStringLiteral("abc def;");
        QVERIFY(m_stub.receive(buildFawenPost(QStringLiteral("旧文"), QStringLiteral("较早的一段。"), "第1段", 200)));
        QVERIFY(m_stub.receive(buildFawenPost(QStringLiteral("英文练习"), passage, "第5段", 0)));
        capture(0);
        QCOMPARE(w.passage, passage); // the newest segment
        QCOMPARE(w.textTitle, QStringLiteral("英文练习"));

        QVERIFY(platform::windowSystem().setForegroundWindow(w.winId(), 3000));
        auto* typing = w.findChild<QTextEdit*>(QStringLiteral("textEdit2"));
        typing->setFocus();
        QTRY_VERIFY(typing->hasFocus());
        const int before = m_stub.sent().size();
        for (const QChar c : passage)
            QVERIFY2(m_x.typeInto(typing, c), qPrintable(QString(c)));
        QTRY_VERIFY(w.finished); // on the next tick; the chain then posts its line into the chat
        const QByteArray sent = m_stub.nextSent(before);
        QCOMPARE(sent, w.resultText.toUtf8());
        QVERIFY2(sent.startsWith(QStringLiteral("第5段 ").toUtf8()), sent.constData());
        QCOMPARE(verifyResultLine(QString::fromUtf8(sent), App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
        QCOMPARE(App::ChatHwnd, m_chat); // back in the trainer, still bound
    }

    void postsAfterCaptureStillArrive()
    {
        frmMain& w = *m_window;
        const QString title = QStringLiteral("春晓");
        const QString passage = QStringLiteral("春眠不觉晓，处处闻啼鸟。");
        QVERIFY(m_stub.receive(buildFawenPost(title, passage, "第7段", 40)));
        capture(1);
        QCOMPARE(w.passage, passage);
        QCOMPARE(w.segmentHeader, QStringLiteral("第7段"));

        // The minimised chat window comes back for the share command and for the result command.
        int before = m_stub.sent().size();
        w.shSlot();
        QCOMPARE(m_stub.nextSent(before), buildFawenPost(title, passage, "第7段", 0).toUtf8());
        before = m_stub.sent().size();
        QVERIFY(!w.resultText.isEmpty());
        w.cjSlot();
        QCOMPARE(m_stub.nextSent(before), w.resultText.toUtf8());
    }
};

QTEST_MAIN(TestChatX11)
#include "test_chat_x11.moc"
