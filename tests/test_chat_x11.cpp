// The chat-window road end to end on a real X display: the stand-in chat program in a process of
// its own, the real main window bound to it from the group menu, segments captured from its
// history by Tab and by a click, a captured passage typed with real key strokes, and the result
// line and the segment post arriving in the chat byte for byte.
#include "app/app.h"
#include "platform/display.h"
#include "platform/keysource.h"
#include "platform/windowsystem.h"
#include "testsupport.h"
#include "typing/capture.h"
#include "typing/frmmain.h"
#include "typing/resultline.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QTextEdit>
#include <QTimer>

#include <memory>

// Xlib last: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef None
#undef Bool
#undef Status
#undef Unsorted

namespace {

const QString ChatTitle = QStringLiteral("测试群");
constexpr int StartTimeoutMs = 15000;

void consumeQuitRequest()
{
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

} // namespace

class TestChatX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void bindFromGroupMenu();
    void historyWithoutMarkerLoadsNothing();
    void captureNewestSegment_data();
    void captureNewestSegment();
    void typedRunPostsVerifiedLine();
    void postsAfterCaptureStillArrive();

private:
    void injectMessage(const QString& text);
    QStringList sentFiles() const;
    // The next message the chat sends, as its bytes.
    QByteArray nextSent(int before);
    void typeChar(QChar c);

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<platform::KeySource> m_keys;
    std::unique_ptr<frmMain> m_window;
    QProcess m_stub;
    platform::WindowHandle m_chat = 0;
    Display* m_display = nullptr;
    int m_injected = 0;
};

void TestChatX11::initTestCase()
{
    QVERIFY2(platform::x11Available(), "needs an X display (run under test.sh)");
    m_dir = std::make_unique<TestDir>();
    App::initResources();
    App::resetConfig();
    App::DbOnline = false;
    App::WebUrl.clear();
    // An ASCII passage is typed as it stands: no punctuation replaced, no spaces removed.
    App::Quchu = false;
    App::Tihuan = false;
    App::CountSelectKeys = true;
    m_display = XOpenDisplay(nullptr);
    QVERIFY(m_display);
    m_keys = std::make_unique<platform::KeySource>();
    QVERIFY(m_keys->install());

    const QString stub = QCoreApplication::applicationDirPath() + QStringLiteral("/tavrel_chatstub");
    QVERIFY2(QFile::exists(stub), qPrintable(stub));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    m_stub.setProcessEnvironment(environment);
    m_stub.setProcessChannelMode(QProcess::ForwardedChannels);
    m_stub.start(stub, {QStringLiteral("--group"), ChatTitle, QStringLiteral("--sent"), m_dir->file("sent"),
                        QStringLiteral("--inbox"), m_dir->file("inbox")});
    QVERIFY(m_stub.waitForStarted());
    platform::WindowSystem& ws = platform::windowSystem();
    QTRY_VERIFY_WITH_TIMEOUT((m_chat = ws.findWindow(ChatTitle)) != 0, StartTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(ws.isWindowVisible(m_chat), StartTimeoutMs);

    m_window = std::make_unique<frmMain>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestChatX11::cleanupTestCase()
{
    if (m_window) {
        m_window->close();
        consumeQuitRequest();
    }
    m_window.reset();
    if (m_stub.state() != QProcess::NotRunning) {
        m_stub.terminate();
        if (!m_stub.waitForFinished(5000))
            m_stub.kill();
        m_stub.waitForFinished(5000);
    }
    m_keys.reset();
    if (m_display)
        XCloseDisplay(m_display);
    m_display = nullptr;
    m_dir.reset();
}

void TestChatX11::injectMessage(const QString& text)
{
    const QString name = QStringLiteral("%1").arg(++m_injected, 4, 10, QLatin1Char('0'));
    QDir().mkpath(m_dir->file("inbox"));
    QFile file(m_dir->file("inbox/" + name + ".part"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();
    const QString message = m_dir->file("inbox/" + name + ".msg");
    QVERIFY(file.rename(message));
    // The stub removes the file once the message is in its history.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(message), 5000);
}

QStringList TestChatX11::sentFiles() const
{
    return QDir(m_dir->file("sent")).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
}

QByteArray TestChatX11::nextSent(int before)
{
    if (!QTest::qWaitFor([&] { return sentFiles().size() > before; }, 10000))
        return QByteArray();
    QFile file(QDir(m_dir->file("sent")).filePath(sentFiles().at(before)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestChatX11::typeChar(QChar c)
{
    const KeySym sym = c == QLatin1Char(' ')   ? XK_space
                       : c == QLatin1Char(';') ? XK_semicolon
                                               : XStringToKeysym(QByteArray(1, char(c.unicode())).constData());
    const quint8 keycode = quint8(XKeysymToKeycode(m_display, sym));
    QVERIFY2(keycode != 0, qPrintable(QString(c)));
    auto* typing = m_window->findChild<QTextEdit*>(QStringLiteral("textEdit2"));
    const int before = typing->toPlainText().size();
    XTestFakeKeyEvent(m_display, keycode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, keycode, False, CurrentTime);
    XFlush(m_display);
    QTRY_COMPARE_WITH_TIMEOUT(typing->toPlainText().size(), before + 1, 5000);
    QTest::qWait(5);
}

void TestChatX11::bindFromGroupMenu()
{
    frmMain& w = *m_window;
    QAction* group = nullptr;
    for (QAction* action : w.m_chatMenu->actions())
        if (action->text() == ChatTitle)
            group = action;
    QVERIFY(group);
    group->trigger();
    QCOMPARE(App::ChatTitle, ChatTitle);
    QCOMPARE(App::ChatHwnd, m_chat);
    QCOMPARE(w.labChat->text(), QStringLiteral("QQ群: ") + ChatTitle);
    // The binding also found the own window, shown by now, by its title; it is never a group.
    QCOMPARE(App::SelfHwnd, platform::WindowHandle(w.winId()));
    QVERIFY(!App::ChatTitles.contains(App::AppTitle));
}

void TestChatX11::historyWithoutMarkerLoadsNothing()
{
    frmMain& w = *m_window;
    injectMessage(QStringLiteral("大家好，今天练什么？"));
    const QString passage = w.passage;
    const QString title = w.textTitle;
    const QString reference = w.findChild<QTextEdit*>(QStringLiteral("textEdit"))->toPlainText();
    QStringList titles;
    QTimer poll;
    auto* titleLabel = w.findChild<QLabel*>(QStringLiteral("lab_Title"));
    connect(&poll, &QTimer::timeout, this, [&] { titles << titleLabel->text(); });
    poll.start(10);
    App::GetWay = 0;
    w.zdzwSlot();
    poll.stop();

    QVERIFY(std::any_of(titles.begin(), titles.end(), [](const QString& t) { return t.contains("暂无文本！"); }));
    QCOMPARE(w.passage, passage);
    QCOMPARE(w.textTitle, title);
    QCOMPARE(w.findChild<QTextEdit*>(QStringLiteral("textEdit"))->toPlainText(), reference);
    QTRY_VERIFY(platform::windowSystem().isWindowMinimized(m_chat));
}

void TestChatX11::captureNewestSegment_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("passage");
    QTest::addColumn<QString>("header");
    QTest::addRow("tab") << 0 << QStringLiteral("静夜思") << QStringLiteral("床前明月光，疑是地上霜。") << "第2段";
    QTest::addRow("click") << 1 << QStringLiteral("登鹳雀楼") << QStringLiteral("白日依山尽，黄河入海流。")
                           << "第999段";
}

void TestChatX11::captureNewestSegment()
{
    QFETCH(int, way);
    QFETCH(QString, title);
    QFETCH(QString, passage);
    QFETCH(QString, header);
    frmMain& w = *m_window;
    injectMessage(buildFawenPost(QStringLiteral("旧文"), QStringLiteral("这是较早的一段。"), "第1段", 200));
    injectMessage(buildFawenPost(title, passage, header, 88));
    App::GetWay = way;
    w.zdzwSlot();

    QCOMPARE(w.passage, passage);
    QCOMPARE(w.textTitle, title);
    QCOMPARE(w.segmentHeader, header);
    QCOMPARE(w.labSegment->toolTip(), header == "第999段" ? QStringLiteral("比赛认证段") : QString());
    QTRY_VERIFY(platform::windowSystem().isWindowMinimized(m_chat));
}

void TestChatX11::typedRunPostsVerifiedLine()
{
    frmMain& w = *m_window;
    const QString passage = QStringLiteral("abc def;");
    injectMessage(buildFawenPost(QStringLiteral("英文练习"), passage, "第5段", 0));
    App::GetWay = 0;
    w.zdzwSlot();
    QCOMPARE(w.passage, passage);

    QVERIFY(platform::windowSystem().setForegroundWindow(w.winId(), 3000));
    QTRY_VERIFY(w.isActiveWindow());
    auto* typing = w.findChild<QTextEdit*>(QStringLiteral("textEdit2"));
    typing->setFocus();
    QTRY_VERIFY(typing->hasFocus());

    const int before = sentFiles().size();
    for (const QChar c : passage)
        typeChar(c);
    // The next tick ends the run; the chain posts its line into the chat.
    QTRY_VERIFY_WITH_TIMEOUT(w.finished, 5000);
    const QByteArray sent = nextSent(before);
    QVERIFY(!sent.isEmpty());
    QCOMPARE(sent, w.resultText.toUtf8());
    const QString line = QString::fromUtf8(sent);
    QVERIFY2(line.startsWith(QStringLiteral("第5段 ")), qPrintable(line));
    QCOMPARE(verifyResultLine(line, App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
    // Back in the trainer afterwards, still bound to the chat window.
    QCOMPARE(App::ChatHwnd, m_chat);
}

void TestChatX11::postsAfterCaptureStillArrive()
{
    frmMain& w = *m_window;
    injectMessage(buildFawenPost(QStringLiteral("春晓"), QStringLiteral("春眠不觉晓，处处闻啼鸟。"), "第7段", 40));
    App::GetWay = 1;
    w.zdzwSlot();
    QCOMPARE(w.segmentHeader, QStringLiteral("第7段"));
    QTRY_VERIFY(platform::windowSystem().isWindowMinimized(m_chat));

    // The minimised chat window comes back for the share command and for the result command.
    int before = sentFiles().size();
    w.shSlot();
    QCOMPARE(nextSent(before),
             buildFawenPost(QStringLiteral("春晓"), QStringLiteral("春眠不觉晓，处处闻啼鸟。"), "第7段", 0).toUtf8());

    before = sentFiles().size();
    QVERIFY(!w.resultText.isEmpty());
    w.cjSlot();
    QCOMPARE(nextSent(before), w.resultText.toUtf8());
}

QTEST_MAIN(TestChatX11)
#include "test_chat_x11.moc"
