// The sending window, the sending-state panel, the sending cycle and the curve window as a user
// meets them: controls by their object names, real clicks and keys, boxes answered as they come.
#include "sending/form.h"
#include "sending/fwstate.h"
#include "sending/quxian.h"
#include "sending/sendingcycle.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <qcustomplot.h>

namespace {

QString letters(int length)
{
    return QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(length / 26 + 1).left(length);
}

void choose(Form& form, const QString& entry)
{
    auto* list = form.findChild<QListWidget*>("listSource");
    QListWidgetItem* item = list->findItems(entry, Qt::MatchExactly).value(0);
    QVERIFY2(item, qPrintable(entry));
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

} // namespace

class TestSendingWindows : public QObject
{
    Q_OBJECT

private slots:
    void init() { ts::resetWindowGlobals(); }

    void sendingWindowListsLoadsAndHandsOver()
    {
        TestDir dir;
        QDir().mkpath("文章");
        QVERIFY(App::writeFile("文章/b.txt", letters(250)));
        QVERIFY(App::writeFile("文章/长文.txt", letters(6000)));
        QVERIFY(App::writeFile("文章/C.TXT", "upper"));
        App::WrongChars = QStringLiteral("错字");
        Form form(nullptr, dir.path());
        form.show();
        auto* list = form.findChild<QListWidget*>("listSource");
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        QCOMPARE(items, QStringList({"剪切板", "错字收集", "慢字收集", "跟打进度", "b", "C.TXT", "长文",
                                     "---以上为本地文本---"}));
        QCOMPARE(App::readTextFile("错字收集.txt"), QStringLiteral("错字")); // written back at opening
        QVERIFY(!form.findChild<QWidget*>("comboFw")->isEnabled());          // 独练 by default

        auto* preview = form.findChild<QPlainTextEdit*>("txtPreview");
        choose(form, "长文");
        QCOMPARE(preview->toPlainText(), letters(3000) + QStringLiteral("[......未完]"));
        QCOMPARE(form.findChild<QLabel*>("labCount")->text(), QStringLiteral("总字数: 6000"));
        QVERIFY(form.findChild<QWidget*>("btnUpload")->isVisible());
        choose(form, "C.TXT");
        QCOMPARE(App::SendText, QStringLiteral("upper")); // its own file, whatever the case of ".TXT"

        choose(form, "错字收集");
        preview->moveCursor(QTextCursor::End);
        QTest::keyClicks(preview, "xy");
        QCOMPARE(App::readTextFile("错字收集.txt"), QStringLiteral("错字xy"));
        QVERIFY(QFile::remove("错字收集.txt")); // an unreadable file keeps this session's collection
        choose(form, "慢字收集");
        choose(form, "错字收集");
        QCOMPARE(preview->toPlainText(), QStringLiteral("错字xy"));

        // A text that is empty once the blanks go is refused, and the window stays.
        QSignalSpy handed(&form, &Form::infoSend);
        QApplication::clipboard()->setText(" \n ");
        App::Quchu = true;
        choose(form, "剪切板");
        ts::BoxAnswerer box(true);
        QTest::mouseClick(form.findChild<QWidget*>("btnSend"), Qt::LeftButton);
        QCOMPARE(box.text, QStringLiteral("所发内容为空！"));
        QVERIFY(handed.isEmpty() && form.isVisible());

        choose(form, "b");
        QTest::mouseClick(form.findChild<QWidget*>("btnSend"), Qt::LeftButton);
        QCOMPARE(handed.count(), 1);
        QCOMPARE(handed.first().mid(0, 4), QVariantList({100, "b", letters(250), letters(100)}));
    }

    void cycleRunsPanelHoldsAndProgressSaves()
    {
        TestDir dir;
        App::Dl = false;
        QStringList laid;
        SendingHost host;
        host.layPassage = [&](const QString&, const QString& header, const QString& text) { laid << header + text; };
        host.passage = [&] { return laid.last().mid(3); };
        host.post = [](const QString&) {}; // the posts: see the end-to-end sending test
        host.freeTyping = [] { return false; };
        host.maximised = [] { return false; };
        host.focusTypingPane = [] {};
        host.titleMessage = [](const QString&, int) {};
        SendingCycle cycle(host);
        cycle.setDataFolder(dir.path());

        cycle.start(100, QStringLiteral("字母"), letters(250), letters(100), QString());
        QVERIFY(cycle.panel() && cycle.panel()->isVisible());
        cycle.advanceAfterRun(true);
        cycle.advanceAfterRun(false); // a run that did not end right does not advance
        QCOMPARE(laid.last(), QStringLiteral("第2段") + letters(250).mid(100, 100));
        QCOMPARE(cycle.panel()->findChild<QLineEdit*>("lineEdit6")->text(), QStringLiteral("80.00%"));
        cycle.advance();

        QTest::mouseClick(cycle.panel()->findChild<QWidget*>("button"), Qt::LeftButton);
        QCOMPARE(App::SegSize, 0);
        const int laidBefore = laid.size();
        cycle.advanceAfterRun(true); // the held cycle leaves the run alone
        QCOMPARE(laid.size(), laidBefore);
        cycle.advance(); // the command repeats the segment
        QCOMPARE(laid.last(), QStringLiteral("第3段") + letters(250).mid(200));

        cycle.stop();
        QVERIFY(!cycle.panel()->isVisible());
        ts::BoxAnswerer refused(true);
        cycle.saveProgress();
        QCOMPARE(refused.text, QStringLiteral("只能在发文状态下使用！"));
    }

    void curveOpensClosesAndPlots()
    {
        SendingCycle cycle{SendingHost()};
        cycle.toggleCurve();
        QPointer<quxian> first = cycle.curveWindow();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->plot()->xAxis->range().upper, 1001.0); // empty until a run ends
        cycle.showSpeeds(QStringLiteral("320 305 298  "));
        QCOMPARE(first->findChild<QLabel*>("labInfo")->text(), QStringLiteral("共 3 条数据"));
        QCOMPARE(first->plot()->graph(0)->dataCount(), 3);
        QCOMPARE(first->plot()->yAxis->range(), QCPRange(298, 320));
        QCOMPARE(first->plot()->xAxis->range().upper, 2.0);

        cycle.toggleCurve(); // the second use closes it; the window goes
        QVERIFY(!cycle.curveWindow());
        QTRY_VERIFY(!first);
        cycle.toggleCurve();
        QVERIFY(cycle.curveWindow() && cycle.curveWindow()->isVisible());
        QTest::keyClick(cycle.curveWindow(), Qt::Key_Escape);
        QVERIFY(!cycle.curveWindow());
    }
};

QTEST_MAIN(TestSendingWindows)
#include "test_sending_windows.moc"
