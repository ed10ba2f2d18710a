// Sending a text end to end on a real X display: an article chosen in the sending window, sent in
// segments of 100 into the stand-in chat program, each segment typed with real key strokes, the
// panel counting down, the next segment posted after each result, progress saved, the curve shown.
#include "platform/keysource.h"
#include "testsupport.h"
#include "typing/core/capture.h"
#include "typing/coresettings.h"

#include <qcustomplot.h> // before Xlib, whose macros clash with it

#include "x11support.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace {

QWidget* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

class TestSendingX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    platform::KeySource m_keys{&CoreSettings::countKeyWord};
    std::unique_ptr<ts::MainWindowFixture> m_f;
    xt::ChatStub m_stub;
    platform::WindowHandle m_chat = 0;
    const QString m_title = QStringLiteral("端到端%1").arg(QCoreApplication::applicationPid());
    const QString m_text = QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(10).left(250);
    const QString m_programDir = QCoreApplication::applicationDirPath();

    // Types the passage into the typing pane; the run ends with its last key.
    void typePassage(const QString& passage)
    {
        // The post ends by bringing the trainer back and binding the chat window again.
        QTRY_COMPARE(App::ChatHwnd, m_chat);
        QVERIFY(platform::windowSystem().setForegroundWindow(m_f->w().winId(), 3000));
        m_f->w().activateWindow(); // the window manager may see it active while the focus is elsewhere
        QVERIFY(QTest::qWaitForWindowActive(&m_f->w()));
        m_f->typing()->setFocus();
        QTRY_VERIFY(m_f->typing()->hasFocus());
        for (const QChar c : passage)
            QVERIFY2(m_x.typeInto(m_f->typing(), c), qPrintable(QString(c)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_x.isOpen(), "needs an X display with XTest (run under test.sh)");
        App::initResources();
        m_f = std::make_unique<ts::MainWindowFixture>();
        App::Gdyslim = 100;
        App::Dl = false;
        QVERIFY(QDir().mkpath(m_programDir + "/文章"));
        QVERIFY(App::writeFile(m_programDir + "/文章/" + m_title + ".txt", m_text));
        QVERIFY(m_keys.install());
        QVERIFY((m_chat = m_stub.start(m_f->dir().path(), platform::windowSystem())) != 0);
        m_f->open(true);
        m_f->action({"换群", xt::ChatStub::title()})->trigger();
        QCOMPARE(App::ChatTitle, xt::ChatStub::title());
    }
    void cleanupTestCase()
    {
        for (const QString& file : {"/文章/" + m_title + ".txt", "/跟打进度/" + m_title + ".txt", "/跟打进度/" + m_title + ".ini"})
            QFile::remove(m_programDir + file);
        m_f.reset();
    }

    void threeSegmentsPostedTypedAndCountedDown()
    {
        m_f->w().showFawen();
        QWidget* form = topLevel(QStringLiteral("Form"));
        QVERIFY(form);
        auto* list = form->findChild<QListWidget*>(QStringLiteral("listSource"));
        QListWidgetItem* entry = list->findItems(m_title, Qt::MatchExactly).value(0);
        QVERIFY(entry);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(entry).center());
        int sent = m_stub.sent().size();
        QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("btnSend")), Qt::LeftButton);
        QCOMPARE(m_stub.nextSent(sent), buildFawenPost(m_title, m_text.left(100), "第1段", 150).toUtf8());

        const QStringList rests{"50", "0", "150"};
        for (int segment = 1; segment <= 3; ++segment) {
            if (segment == 2) {
                ts::BoxAnswerer saved(true);
                m_f->w().saveSlot();
                QCOMPARE(saved.text, QStringLiteral("保存成功！在发文--跟打进度中可载入进度！"));
            }
            if (segment == 3) {
                m_f->w().showSlot(); // the new window takes the focus once it is mapped
                QVERIFY(topLevel(QStringLiteral("quxian")));
                QVERIFY(QTest::qWaitForWindowActive(topLevel(QStringLiteral("quxian"))));
            }
            sent = m_stub.sent().size() + 1; // the result line comes first
            typePassage(m_text.mid((segment - 1) * 100, 100));
            const int next = segment % 3 + 1;
            QCOMPARE(QString::fromUtf8(m_stub.nextSent(sent)),
                     buildFawenPost(m_title, m_text.mid((next - 1) * 100, 100), QStringLiteral("第%1段").arg(next),
                                    rests.at(segment - 1).toInt()));
            QCOMPARE(topLevel(QStringLiteral("Fwstate"))->findChild<QLineEdit*>("lineEdit5")->text(), rests.at(segment - 1));
        }

        // The finished runs reached the open curve.
        QWidget* curve = topLevel(QStringLiteral("quxian"));
        QVERIFY(curve && curve->findChild<QCustomPlot*>(QStringLiteral("plot1"))->graph(0)->dataCount() > 0);

        // The saved progress comes back in a new sending window, once the running cycle is ended.
        ts::BoxAnswerer endCycle(true);
        m_f->w().showFawen();
        QCOMPARE(endCycle.text, QStringLiteral("正在发文，是否结束发文？"));
        QTRY_VERIFY((form = topLevel(QStringLiteral("Form"))) != nullptr);
        QVERIFY(!topLevel(QStringLiteral("Fwstate")));
        form->findChild<QListWidget*>(QStringLiteral("listSource"))->setCurrentRow(3); // "跟打进度"
        QCOMPARE(form->findChild<QPlainTextEdit*>(QStringLiteral("txtPreview"))->toPlainText(), m_text.mid(100));
        QCOMPARE(form->findChild<QComboBox*>(QStringLiteral("comboProgress"))->currentText(), m_title);
        form->close();
    }
};

QTEST_MAIN(TestSendingX11)
#include "test_sending_x11.moc"
