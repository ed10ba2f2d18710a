// Windows on their own, offscreen: the four modal boxes, their frame and drag, the switch and the
// seven style sheets; the sending window, the sending-state panel with its cycle, and the curve.
#include "app/dragframe.h"
#include "app/elidingcombobox.h"
#include "app/frminputbox.h"
#include "app/frmmessagebox.h"
#include "app/frmmessagebox2.h"
#include "app/frmmessagebox3.h"
#include "app/look.h"
#include "app/switchbutton.h"
#include "sending/form.h"
#include "sending/fwstate.h"
#include "sending/quxian.h"
#include "sending/sendingcycle.h"
#include "testsupport.h"
#include "typing/resultbutton.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>

using namespace ts;

namespace {

template <class T> T* child(QWidget* parent, const char* name)
{
    return parent->findChild<T*>(QString::fromLatin1(name));
}

// Runs the box's own modal loop and answers it from inside, as a user would: a button's object
// name is clicked, "Esc" presses Escape.
int execAnswering(QDialog& box, const QByteArray& answer, const std::function<void(QDialog*)>& before = {})
{
    ModalAnswerer answerer([&](QWidget* widget) {
        auto* dialog = static_cast<QDialog*>(widget);
        if (before)
            before(dialog);
        if (answer == "Esc") {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        auto* button = child<QPushButton>(dialog, answer.constData());
        QVERIFY2(button && button->isVisible(), answer.constData());
        QTest::mouseClick(button, Qt::LeftButton);
    });
    return box.exec();
}

// A button as its style draws it in a state the mouse would give it.
QImage buttonDrawn(QPushButton* button, QStyle::State state)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.state |= state;
    QImage image(button->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    button->style()->drawControl(QStyle::CE_PushButton, &option, &painter, button);
    return image;
}

QStringList g_warnings;
QtMessageHandler g_previousHandler = nullptr;

void collectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (type == QtWarningMsg)
        g_warnings << msg;
    g_previousHandler(type, context, msg);
}

// A window that drags by its own rules, as the main window does.
class PinnedDialog : public FramelessDialog
{
public:
    bool pinned = false;
    int moves = 0;
    QVector<QPoint> saved; // where each finished drag left the window

protected:
    bool canDrag() const override { return !pinned; }
    void windowMoved() override { ++moves; }
    void windowDragged() override { saved << pos(); }
};

template <class Box, class... Type> std::unique_ptr<QDialog> boxWith(const QString& message, Type... type)
{
    auto box = std::make_unique<Box>();
    if (!message.isNull())
        box->SetMessage(message, type...);
    return box;
}

std::unique_ptr<QDialog> makeBox(int kind, const QString& message = QString())
{
    switch (kind) {
    case 0: return boxWith<frmMessageBox>(message, 2, Qt::PlainText);
    case 1: return boxWith<frmMessageBox2>(message, 4, Qt::PlainText);
    case 2: return boxWith<frmMessageBox3>(message, 0);
    default: return boxWith<frmInputBox>(message);
    }
}

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

class TestWidgets : public QObject
{
    Q_OBJECT

    TestDir m_dir; // the working folder of every case

private slots:
    void initTestCase() { App::initResources(); }
    void init() { resetWindowGlobals(); }
    void cleanup() { qApp->setStyleSheet(QString()); }

    void frame_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QSize>("size");
        QTest::addRow("frmMessageBox") << 0 << QSize(303, 143);
        QTest::addRow("frmMessageBox2") << 1 << QSize(418, 181);
        QTest::addRow("frmMessageBox3") << 2 << QSize(328, 326);
        QTest::addRow("frmInputBox") << 3 << QSize(339, 152);
    }

    // Every box wears the same frame: centred by integer halves, frameless and on top with no other
    // hint, and a close button that rejects. It shows all of its text, foreign text literally: the
    // label holds every wrapped line and the longest word, lies inside the box clear of the buttons,
    // and the box grows as needed; a short text keeps the form's size.
    void frame()
    {
        QFETCH(int, kind);
        QFETCH(QSize, size);
        std::unique_ptr<QDialog> box = makeBox(kind);
        const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
        QCOMPARE(box->pos(), desktop.topLeft() + QPoint(desktop.width() / 2 - size.width() / 2,
                                                        desktop.height() / 2 - size.height() / 2));
        QCOMPARE(box->windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QCOMPARE(child<QPushButton>(box.get(), "btnMenu_Close")->focusPolicy(), Qt::NoFocus);
        QCOMPARE(execAnswering(*box, "btnMenu_Close"), 0);

        const QString missing = QStringLiteral("无法打开文章“%1”，文件可能已被移动、删除或无权读取。")
                                    .arg("/home/someone/articles/a-rather-long-file-name-without-blanks.txt");
        for (const QString& text : {QStringLiteral("内容"), missing}) {
            box = makeBox(kind, text);
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            if (text.size() < 3)
                QCOMPARE(box->size(), size);
            QVERIFY(box->width() >= size.width() && box->height() >= size.height());
            QLabel* info = child<QLabel>(box.get(), "labInfo");
            if (kind < 2)
                QCOMPARE(info->textFormat(), Qt::PlainText);
            QVERIFY2(info->height() >= info->heightForWidth(info->width()), qPrintable(text));
            QVERIFY2(info->width() >= info->minimumSizeHint().width(), qPrintable(text));
            const QRect shown(info->mapTo(box.get(), QPoint()), info->size());
            QVERIFY(info->parentWidget()->rect().contains(info->geometry()));
            QVERIFY(box->rect().contains(shown));
            for (QPushButton* button : box->findChildren<QPushButton*>(QRegularExpression("^btn(Ok|Cancel)$")))
                QVERIFY(!button->isVisible() ||
                        !shown.intersects(QRect(button->mapTo(box.get(), QPoint()), button->size())));
        }
        // Dragged to the screen's corner, a box that grows wider, taller or both stays whole on the screen.
        const QRect screen = box->screen()->availableGeometry();
        for (const QSize& growth : {QSize(120, 0), QSize(0, 40), QSize(120, 40)}) {
            box->move(screen.bottomRight() - QPoint(box->width(), box->height()) + QPoint(1, 1));
            box->resize(box->size() + growth);
            QTRY_VERIFY2(screen.contains(box->frameGeometry()),
                         qPrintable(QStringLiteral("%1 x %2 more").arg(growth.width()).arg(growth.height())));
        }
    }

    void messageBox_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("cancelShown");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("result");
        QTest::addRow("information OK") << 0 << false << QByteArray("btnOk") << 1;
        QTest::addRow("information Esc") << 0 << false << QByteArray("Esc") << 0;
        QTest::addRow("question yes") << 1 << true << QByteArray("btnOk") << 1;
        QTest::addRow("question no") << 1 << true << QByteArray("btnCancel") << 0;
        QTest::addRow("unknown type cancel") << 7 << true << QByteArray("btnCancel") << 0;
    }

    // By default the text may hold markup, and its links open in the browser.
    void messageBox()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, answer);
        frmMessageBox box;
        box.SetMessage(QStringLiteral("内容"), type);
        QTEST(!child<QPushButton>(&box, "btnCancel")->isHidden(), "cancelShown");
        QCOMPARE(child<QLabel>(&box, "labInfo")->textFormat(), Qt::AutoText);
        QVERIFY(child<QLabel>(&box, "labInfo")->openExternalLinks());
        QTEST(execAnswering(box, answer), "result");
    }

    // The upload tick is saved the moment it changes, and a "no" afterwards does not undo it.
    void uploadCheckBox()
    {
        App::Uploadcj = false;
        frmMessageBox2 box;
        box.SetMessage(QStringLiteral("速度100"), 0);
        bool savedBeforeAnswer = false;
        const int result = execAnswering(box, "btnCancel", [&](QDialog* d) {
            QCheckBox* check = child<QCheckBox>(d, "checkBox");
            QVERIFY(check->isVisible() && !check->isChecked());
            QTest::mouseClick(check, Qt::LeftButton);
            savedBeforeAnswer = configFileValue("Uploadcj").toBool();
        });
        QCOMPARE(result, 0);
        QVERIFY(savedBeforeAnswer);
        QVERIFY(configFileValue("Uploadcj").toBool());

        frmMessageBox2 again; // shows the saved tick
        again.SetMessage(QStringLiteral("速度100"), 0);
        QVERIFY(child<QCheckBox>(&again, "checkBox")->isChecked());
        QCOMPARE(execAnswering(again, "btnOk"), 1);
    }

    void inputBox()
    {
        frmInputBox box;
        box.SetMessage(QStringLiteral("文件名:"));
        QCOMPARE(child<QLabel>(&box, "labInfo")->text(), QStringLiteral("文件名:"));
        QInputMethodEvent commit; // Chinese arrives through the input method
        commit.setCommitString(QStringLiteral("文本"));
        const auto type = [&commit](QDialog* d) {
            QTest::keyClicks(child<QLineEdit>(d, "txtValue"), QStringLiteral("abc "));
            QApplication::sendEvent(child<QLineEdit>(d, "txtValue"), &commit);
        };
        QCOMPARE(execAnswering(box, "btnOk", type), 1);
        QCOMPARE(box.getValue(), QStringLiteral("abc 文本"));
        frmInputBox declined;
        QCOMPARE(execAnswering(declined, "btnCancel", type), 0);
        QCOMPARE(declined.getValue(), QString());
    }

    void drag()
    {
        frmMessageBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QPoint start = box.pos();
        const QPoint grip = box.mapToGlobal(QPoint(60, 12));
        // The right and middle buttons do not start a drag; the left one drags the box until released.
        for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
            sendMouse(&box, QEvent::MouseButtonPress, grip, button, button);
            sendMouse(&box, QEvent::MouseMove, grip + QPoint(30, 20), Qt::NoButton, button);
            sendMouse(&box, QEvent::MouseButtonRelease, grip + QPoint(30, 20), button, Qt::NoButton);
        }
        sendMouse(&box, QEvent::MouseMove, grip + QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(box.pos(), start + QPoint(30, 20));

        // A window's own rule can stop the drag; it hears of every step it takes.
        PinnedDialog dialog;
        dialog.resize(200, 100);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint at = dialog.pos();
        const QPoint hold = dialog.mapToGlobal(QPoint(10, 10));
        // Each step is heard of; the end once, after the last step (a window saves its place there).
        sendMouse(&dialog, QEvent::MouseButtonPress, hold, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 3; ++step)
            sendMouse(&dialog, QEvent::MouseMove, hold + QPoint(5, 5) * step, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(dialog.moves, 3);
        QVERIFY(dialog.saved.isEmpty());
        sendMouse(&dialog, QEvent::MouseButtonRelease, hold + QPoint(15, 15), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(dialog.saved, QVector<QPoint>{at + QPoint(15, 15)});
        // A click that moves nothing is no drag.
        sendMouse(&dialog, QEvent::MouseButtonPress, hold, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&dialog, QEvent::MouseButtonRelease, hold, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(dialog.saved.size(), 1);
        sendMouse(&dialog, QEvent::MouseButtonPress, hold, Qt::LeftButton, Qt::LeftButton);
        dialog.pinned = true;
        sendMouse(&dialog, QEvent::MouseMove, hold + QPoint(50, 50), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(dialog.pos(), at + QPoint(15, 15));
        QCOMPARE(dialog.moves, 3);
    }

    // The switch shows its state by its two pictures, at its own size whatever the layout.
    void switchButton()
    {
        QWidget page;
        auto* sw = new SwitchButton(&page);
        (new QVBoxLayout(&page))->addWidget(sw);
        page.resize(400, 300);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(sw->size(), QSize(87, 28));
        for (const bool on : {false, true}) {
            QTest::mouseClick(sw, Qt::LeftButton);
            QCOMPARE(sw->switchedOn, on);
            QVERIFY(sw->styleSheet().contains(on ? "btncheckon.png" : "btncheckoff.png"));
        }
        sw->setOnOff(false);
        QVERIFY(!sw->switchedOn && sw->styleSheet().contains("btncheckoff.png"));
        // Under the mouse or pressed it still shows only its picture, under every scheme.
        for (const char* scheme : {"white", "blue", "gray", "black", "brown", "dev", "silvery"}) {
            QVERIFY(applyStyleSheet(scheme));
            const QImage still = buttonDrawn(sw, QStyle::State_None);
            QVERIFY2(buttonDrawn(sw, QStyle::State_MouseOver) == still, scheme);
            QVERIFY2(buttonDrawn(sw, QStyle::State_Sunken) == still, scheme);
        }
    }

    // A list box paints a name it cannot hold as a box holding the cut name would.
    void elidingComboBox()
    {
        const QString name = QStringLiteral("唐诗宋词元曲精选集之春眠不觉晓处处闻啼鸟.txt");
        ElidingComboBox box;
        box.addItem(name);
        box.resize(150, 28);
        QVERIFY(box.shownText().endsWith(QChar(0x2026)) && name.startsWith(box.shownText().chopped(1)));
        QComboBox plain;
        plain.addItem(box.shownText());
        plain.resize(box.size());
        QCOMPARE(box.grab().toImage(), plain.grab().toImage());
        box.resize(box.fontMetrics().horizontalAdvance(name) + 60, 28);
        QCOMPARE(box.shownText(), name);
    }

    // The live caption's size is kept while only its digits change, but a longer figure or a new
    // font is measured again: a stale size would cut the caption.
    void resultButtonSize()
    {
        ResultButton button;
        button.setText(QStringLiteral("速度:12.34"));
        const QSize two = button.sizeHint();
        button.setText(QStringLiteral("速度:123.45"));
        QVERIFY(button.sizeHint().width() > two.width());
        button.setText(QStringLiteral("速度:98.76"));
        QCOMPARE(button.sizeHint(), two);
        QFont font = button.font();
        font.setPointSize(font.pointSize() * 2);
        button.setFont(font);
        QVERIFY(button.sizeHint().width() > two.width());
    }

    void styleSheets_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"white", "blue", "gray", "black", "brown", "dev", "silvery"})
            QTest::addRow("%s", name) << name;
    }

    // Each sheet leads with its palette rule (the scheme command reads the colour there), is plain
    // ASCII, and parses when widgets are styled.
    void styleSheets()
    {
        QFETCH(QString, name);
        QFile file(":/image/" + name + ".css");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0; }));
        const QString sheet = QString::fromLatin1(bytes);
        QVERIFY(QRegularExpression("^QPalette\\{background:#[0-9A-F]{6};\\}").match(sheet).hasMatch());

        g_warnings.clear();
        g_previousHandler = qInstallMessageHandler(collectWarnings);
        qApp->setStyleSheet(sheet);
        frmMessageBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        qInstallMessageHandler(g_previousHandler);
        for (const QString& warning : qAsConst(g_warnings))
            QVERIFY2(!warning.contains("parse", Qt::CaseInsensitive), qPrintable(warning));
        // The frame rule reaches the window marked Form; the close button turns red under the mouse.
        QVERIFY(box.grab().toImage().pixelColor(0, 0) != QColor(sheet.mid(20, 7)));
        QPushButton* close = child<QPushButton>(&box, "btnMenu_Close");
        const QColor hovered = buttonDrawn(close, QStyle::State_MouseOver).pixelColor(2, 2);
        QVERIFY(hovered != buttonDrawn(close, QStyle::State_None).pixelColor(2, 2));
        QVERIFY2(hovered.red() > 180 && hovered.green() < 60 && hovered.blue() < 80, qPrintable(hovered.name()));
    }

    void sendingWindowListsLoadsAndHandsOver()
    {
        QDir().mkpath("文章");
        QVERIFY(App::writeFile("文章/b.txt", letters(250)));
        QVERIFY(App::writeFile("文章/长文.txt", letters(6000)));
        QVERIFY(App::writeFile("文章/C.TXT", "upper"));
        App::WrongChars = QStringLiteral("错字");
        Form form(nullptr, m_dir.path());
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
        choose(form, "长文"); // the preview cut, the whole text counted
        QCOMPARE(preview->toPlainText(), letters(3000) + QStringLiteral("[......未完]"));
        QCOMPARE(form.findChild<QLabel*>("labCount")->text(), QStringLiteral("总字数: 6000"));
        QVERIFY(form.findChild<QWidget*>("btnUpload")->isVisible());
        choose(form, "C.TXT");
        QCOMPARE(App::SendText, QStringLiteral("upper")); // its own file, whatever the case of ".TXT"

        // Both collections are edited in place and saved at once.
        choose(form, "慢字收集");
        QTest::keyClicks(preview, "z");
        QCOMPARE(App::readTextFile("慢字收集.txt"), QStringLiteral("z"));
        choose(form, "错字收集");
        QCOMPARE(form.findChild<QSpinBox*>("spinLength")->value(), 25); // a collection goes in short segments
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
        BoxAnswerer box(true);
        QTest::mouseClick(form.findChild<QWidget*>("btnSend"), Qt::LeftButton);
        QCOMPARE(box.text, QStringLiteral("所发内容为空！"));
        QVERIFY(handed.isEmpty() && form.isVisible());

        choose(form, "b");
        QTest::mouseClick(form.findChild<QWidget*>("btnSend"), Qt::LeftButton);
        QCOMPARE(handed.count(), 1);
        QCOMPARE(handed.first().mid(0, 4), QVariantList({100, "b", letters(250), letters(100)}));
    }

    void sendingCycleAndCurve()
    {
        App::Dl = false;
        QStringList laid;
        SendingHost host;
        host.layPassage = [&](const QString&, const QString& header, const QString& text) { laid << header + text; };
        host.passage = [&] { return laid.last().mid(3); };
        host.post = [](const QString&) {}; // the posts: see the end-to-end sending test
        host.freeTyping = [] { return false; };
        host.maximised = [] { return false; };
        host.focusTypingPane = [] {};
        SendingCycle cycle(host);
        cycle.setDataFolder(m_dir.path());

        cycle.start(100, QStringLiteral("字母"), letters(250), letters(100), QString());
        QVERIFY(cycle.panel() && cycle.panel()->isVisible());
        cycle.advanceAfterRun(true);
        cycle.advanceAfterRun(false); // a run that did not end right does not advance
        QCOMPARE(laid.last(), QStringLiteral("第2段") + letters(250).mid(100, 100));
        QCOMPARE(cycle.panel()->findChild<QLineEdit*>("lineEdit6")->text(), QStringLiteral("80.00%"));
        cycle.advance();

        QTest::mouseClick(cycle.panel()->findChild<QWidget*>("button"), Qt::LeftButton);
        const int laidBefore = laid.size();
        cycle.advanceAfterRun(true); // the held cycle leaves the run alone
        QCOMPARE(laid.size(), laidBefore);
        cycle.advance(); // the command lays the same segment again
        QCOMPARE(laid.size(), laidBefore + 1);
        QCOMPARE(laid.last(), QStringLiteral("第3段") + letters(250).mid(200));

        cycle.stop();
        QVERIFY(!cycle.panel()->isVisible());
        BoxAnswerer refused(true);
        cycle.saveProgress();
        QCOMPARE(refused.text, QStringLiteral("只能在发文状态下使用！"));

        // The curve window: opened and closed by the command, empty until a run ends.
        cycle.toggleCurve();
        QPointer<quxian> first = cycle.curveWindow();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->plot()->xAxis->range().upper, 1001.0);
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

QTEST_MAIN(TestWidgets)
#include "test_widgets.moc"
