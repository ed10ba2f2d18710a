// The shared widgets on real windows (offscreen): the four modal boxes, their frame and drag,
// the icon font, the switch and the seven style sheets.
#include "app/app.h"
#include "app/dragframe.h"
#include "app/frminputbox.h"
#include "app/frmmessagebox.h"
#include "app/frmmessagebox2.h"
#include "app/frmmessagebox3.h"
#include "app/iconhelper.h"
#include "app/switchbutton.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QFile>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyleOptionButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

enum BoxKind { MessageBox, MessageBox2, MessageBox3, InputBox };

std::unique_ptr<QDialog> makeBox(int kind)
{
    switch (kind) {
    case MessageBox:
        return std::make_unique<frmMessageBox>();
    case MessageBox2:
        return std::make_unique<frmMessageBox2>();
    case MessageBox3:
        return std::make_unique<frmMessageBox3>();
    default:
        return std::make_unique<frmInputBox>();
    }
}

template <class T> T* child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

// Runs the box's own modal loop and answers it from inside, once the box is the active modal
// widget, the way a user would. A box that never becomes modal is ended with -1, so the test
// fails instead of hanging.
int execAnswering(QDialog& box, const std::function<void(QDialog*)>& answer)
{
    QTimer poll;
    int tries = 0;
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
        if (QApplication::activeModalWidget() == &box) {
            poll.stop();
            answer(&box);
            if (box.isVisible()) // the answer failed half-way: end the loop, the failure stands
                box.done(-1);
        } else if (++tries > 500) {
            poll.stop();
            box.done(-1);
        }
    });
    poll.start(10);
    return box.exec();
}

void clickButton(QDialog* box, const char* name)
{
    QPushButton* button = child<QPushButton>(box, name);
    QVERIFY(button);
    QVERIFY2(button->isVisible(), name);
    QTest::mouseClick(button, Qt::LeftButton);
}

std::function<void(QDialog*)> clicking(const char* name)
{
    return [name](QDialog* box) { clickButton(box, name); };
}

void pressEscape(QDialog* box)
{
    QTest::keyClick(box, Qt::Key_Escape);
}

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& global, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, w->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Painting through the window's backing store may round colour channels by a few steps.
bool sameColour(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 && qAbs(a.blue() - b.blue()) <= 8;
}

QImage renderButton(QPushButton* button, bool hovered)
{
    QStyleOptionButton option;
    option.initFrom(button);
    if (button->isFlat())
        option.features |= QStyleOptionButton::Flat;
    if (hovered)
        option.state |= QStyle::State_MouseOver;
    option.text = button->text();
    QImage image(button->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    button->style()->drawControl(QStyle::CE_PushButton, &option, &painter, button);
    return image;
}

QByteArray readResource(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QtMessageHandler g_previousHandler = nullptr;
QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (type == QtWarningMsg)
        g_warnings << msg;
    g_previousHandler(type, context, msg);
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void frame_data();
    void frame();
    void messageBoxTypes_data();
    void messageBoxTypes();
    void messageBoxAnswers_data();
    void messageBoxAnswers();
    void messageBoxText();
    void uploadCheckBox();
    void messageBox2Types_data();
    void messageBox2Types();
    void messageBox3();
    void inputBox();
    void drag();
    void dragHookStopsMove();

    void iconHelper();
    void switchButton();

    void styleSheets_data();
    void styleSheets();
};

void TestWidgets::initTestCase()
{
    App::initResources();
    QVERIFY(QFile::exists(QStringLiteral(":/image/zanzhu.png")));
}

void TestWidgets::cleanup()
{
    qApp->setStyleSheet(QString());
}

void TestWidgets::frame_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("title");
    QTest::addRow("frmMessageBox") << int(MessageBox) << QSize(303, 143) << QStringLiteral("提示");
    QTest::addRow("frmMessageBox2") << int(MessageBox2) << QSize(418, 181) << QStringLiteral("提示");
    QTest::addRow("frmMessageBox3") << int(MessageBox3) << QSize(328, 326) << QStringLiteral("提示");
    QTest::addRow("frmInputBox") << int(InputBox) << QSize(339, 152) << QStringLiteral("输入框");
}

// Every box wears the same frame: style property, centring by integer halves, frameless and
// on top with no other hint, the two title glyphs, and a close button that rejects.
void TestWidgets::frame()
{
    QFETCH(int, kind);
    QFETCH(QSize, size);
    QFETCH(QString, title);
    std::unique_ptr<QDialog> box = makeBox(kind);

    QCOMPARE(box->property("Form").toBool(), true);
    QCOMPARE(box->size(), size);
    QCOMPARE(box->windowTitle(), title);
    QCOMPARE(child<QLabel>(box.get(), "lab_Title")->text(), title);

    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    const QPoint expected(desktop.width() / 2 - size.width() / 2, desktop.height() / 2 - size.height() / 2);
    QCOMPARE(box->pos(), desktop.topLeft() + expected);

    const Qt::WindowFlags hints = box->windowFlags() & ~Qt::WindowType_Mask;
    QCOMPARE(hints, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    QVERIFY(box->isWindow());

    QLabel* ico = child<QLabel>(box.get(), "lab_Ico");
    QPushButton* close = child<QPushButton>(box.get(), "btnMenu_Close");
    QCOMPARE(ico->text(), QString(QChar(0xF00A)));
    QCOMPARE(ico->font().pointSize(), 12);
    QCOMPARE(close->text(), QString(QChar(0xF00D)));
    QCOMPARE(close->font().pointSize(), 10);
    QCOMPARE(close->font().family(), IconHelper::Instance()->family());
    QCOMPARE(close->toolTip(), QStringLiteral("关闭"));
    QCOMPARE(close->focusPolicy(), Qt::NoFocus);

    QCOMPARE(execAnswering(*box, clicking("btnMenu_Close")), 0);
}

void TestWidgets::messageBoxTypes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("cancel"); // empty: hidden
    QTest::addColumn<QString>("title");
    // clang-format off
    QTest::addRow("information") << 0 << "info.png" << "确定(&O)" << "" << "提示";
    QTest::addRow("question") << 1 << "question.png" << "是(&Y)" << "否(&N)" << "询问";
    QTest::addRow("error") << 2 << "error.png" << "确定(&O)" << "" << "错误";
    QTest::addRow("unknown type") << 7 << "info.png" << "确定(&O)" << "取消(&C)" << "提示";
    // clang-format on
}

void TestWidgets::messageBoxTypes()
{
    QFETCH(int, type);
    QFETCH(QString, picture);
    QFETCH(QString, ok);
    QFETCH(QString, cancel);
    QFETCH(QString, title);
    frmMessageBox box;
    box.SetMessage(QStringLiteral("内容"), type);

    QVERIFY(child<QLabel>(&box, "labIcoMain")->styleSheet().contains(":/image/" + picture));
    QCOMPARE(child<QPushButton>(&box, "btnOk")->text(), ok);
    QPushButton* btnCancel = child<QPushButton>(&box, "btnCancel");
    QCOMPARE(btnCancel->isHidden(), cancel.isEmpty());
    if (!cancel.isEmpty())
        QCOMPARE(btnCancel->text(), cancel);
    QCOMPARE(child<QLabel>(&box, "lab_Title")->text(), title);
    QCOMPARE(box.windowTitle(), title);
    QCOMPARE(child<QLabel>(&box, "labInfo")->text(), QStringLiteral("内容"));
}

void TestWidgets::messageBoxAnswers_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("answer"); // a button's object name, or "Esc"
    QTest::addColumn<int>("result");
    QTest::addRow("information OK") << 0 << "btnOk" << 1;
    QTest::addRow("information Esc") << 0 << "Esc" << 0;
    QTest::addRow("information close") << 0 << "btnMenu_Close" << 0;
    QTest::addRow("error OK") << 2 << "btnOk" << 1;
    QTest::addRow("error close") << 2 << "btnMenu_Close" << 0;
    QTest::addRow("question yes") << 1 << "btnOk" << 1;
    QTest::addRow("question no") << 1 << "btnCancel" << 0;
    QTest::addRow("question Esc") << 1 << "Esc" << 0;
    QTest::addRow("unknown type cancel") << 7 << "btnCancel" << 0;
}

void TestWidgets::messageBoxAnswers()
{
    QFETCH(int, type);
    QFETCH(QString, answer);
    QFETCH(int, result);
    frmMessageBox box;
    box.SetMessage(QStringLiteral("确定吗?"), type);
    const QByteArray name = answer.toLatin1();
    const int got = answer == "Esc" ? execAnswering(box, pressEscape)
                                    : execAnswering(box, [&](QDialog* d) { clickButton(d, name.constData()); });
    QCOMPARE(got, result);
    QCOMPARE(box.result(), result);
    QVERIFY(!box.isVisible());
}

// Foreign text stays literal; the default still renders markup and links open in the browser.
void TestWidgets::messageBoxText()
{
    frmMessageBox plain;
    plain.SetMessage(QStringLiteral("<b>x</b>"), 0, Qt::PlainText);
    QLabel* info = child<QLabel>(&plain, "labInfo");
    QCOMPARE(info->textFormat(), Qt::PlainText);
    QCOMPARE(info->text(), QStringLiteral("<b>x</b>"));

    frmMessageBox rich;
    rich.SetMessage(QStringLiteral("<a href='http://127.0.0.1/'>下载</a>"), 0);
    QLabel* link = child<QLabel>(&rich, "labInfo");
    QCOMPARE(link->textFormat(), Qt::AutoText);
    QVERIFY(link->openExternalLinks());
    // The plain label comes out wider than the rendered one: it shows the tags as characters.
    frmMessageBox rendered;
    rendered.SetMessage(QStringLiteral("<b>x</b>"), 0);
    QVERIFY(info->sizeHint().width() > child<QLabel>(&rendered, "labInfo")->sizeHint().width());

    frmMessageBox2 plain2;
    plain2.SetMessage(QStringLiteral("<i>标题</i>"), 4, Qt::PlainText);
    QCOMPARE(child<QLabel>(&plain2, "labInfo")->textFormat(), Qt::PlainText);
    QVERIFY(child<QLabel>(&plain2, "labInfo")->openExternalLinks());
}

// The upload tick is saved the moment it changes, and a "no" afterwards does not undo it.
void TestWidgets::uploadCheckBox()
{
    TestDir dir;
    App::resetConfig();
    App::Uploadcj = false;
    frmMessageBox2 box;
    const QPoint corner = box.pos();
    box.SetMessage(QStringLiteral("速度100"), 0);
    QCOMPARE(box.size(), QSize(500, 200));
    QCOMPARE(box.pos(), corner);
    QCOMPARE(box.windowTitle(), QStringLiteral("成绩（是否发送成绩？）"));

    bool savedBeforeAnswer = false;
    const int result = execAnswering(box, [&](QDialog* d) {
        QCheckBox* check = child<QCheckBox>(d, "checkBox");
        QVERIFY(check && check->isVisible());
        QCOMPARE(check->text(), QStringLiteral("上传成绩"));
        QVERIFY(!check->isChecked());
        QTest::mouseClick(check, Qt::LeftButton);
        QSettings ini(dir.file("CONFIG/settings.ini"), QSettings::IniFormat);
        savedBeforeAnswer = ini.value("AppConfig/Uploadcj").toBool();
        clickButton(d, "btnCancel");
    });
    QCOMPARE(result, 0);
    QVERIFY(savedBeforeAnswer);
    QCOMPARE(App::Uploadcj, true);
    QSettings ini(dir.file("CONFIG/settings.ini"), QSettings::IniFormat);
    QCOMPARE(ini.value("AppConfig/Uploadcj").toBool(), true);

    // A new box shows the saved tick; answering yes returns 1.
    frmMessageBox2 again;
    again.SetMessage(QStringLiteral("速度100"), 0);
    QVERIFY(child<QCheckBox>(&again, "checkBox")->isChecked());
    QCOMPARE(child<QPushButton>(&again, "btnOk")->text(), QStringLiteral("是(&Y)"));
    QCOMPARE(child<QPushButton>(&again, "btnCancel")->text(), QStringLiteral("否(&N)"));
    QCOMPARE(execAnswering(again, clicking("btnOk")), 1);
}

void TestWidgets::messageBox2Types_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<QString>("title");
    QTest::addRow("sponsor") << 1 << "赞助(&O)" << true << "您的鼓励是作者最大的动力";
    QTest::addRow("download") << 2 << "确定(&O)" << false << "下载地址";
    QTest::addRow("about") << 3 << "确定(&O)" << false << "关于Tavrel跟打器";
    QTest::addRow("notice") << 4 << "确定(&O)" << false << "提示";
    QTest::addRow("unknown type") << 9 << "确定(&O)" << true << "提示";
}

void TestWidgets::messageBox2Types()
{
    QFETCH(int, type);
    QFETCH(QString, ok);
    QFETCH(bool, cancelShown);
    QFETCH(QString, title);
    App::Uploadcj = true;
    frmMessageBox2 box;
    box.SetMessage(QStringLiteral("说明"), type);
    QVERIFY(child<QCheckBox>(&box, "checkBox")->isHidden());
    QCOMPARE(child<QPushButton>(&box, "btnOk")->text(), ok);
    QCOMPARE(!child<QPushButton>(&box, "btnCancel")->isHidden(), cancelShown);
    QCOMPARE(box.windowTitle(), title);
    QCOMPARE(child<QLabel>(&box, "lab_Title")->text(), title);
    QCOMPARE(box.size(), QSize(418, 181));

    const int result = execAnswering(box, [](QDialog* d) {
        QVERIFY(!child<QCheckBox>(d, "checkBox")->isVisible());
        clickButton(d, "btnOk");
    });
    QCOMPARE(result, 1);
}

// No OK button: every way out returns 0. The sponsor picture is painted into its fixed place.
void TestWidgets::messageBox3()
{
    frmMessageBox3 box;
    box.SetMessage(QString(), 0);
    QCOMPARE(box.windowTitle(), QStringLiteral("扫描二维码完成赞助(感谢支持！)"));
    QVERIFY(!box.findChild<QPushButton*>(QStringLiteral("btnOk")));
    QCOMPARE(execAnswering(box, pressEscape), 0);

    frmMessageBox3 other;
    other.SetMessage(QStringLiteral("谢谢"), 5);
    QCOMPARE(other.windowTitle(), QStringLiteral("提示"));
    QCOMPARE(child<QLabel>(&other, "labInfo")->text(), QStringLiteral("谢谢"));
    QCOMPARE(execAnswering(other, clicking("btnMenu_Close")), 0);

    const QImage picture = QImage(QStringLiteral(":/image/zanzhu.png")).scaled(248, 245);
    const QImage shot = box.grab().toImage();
    for (const QPoint& p : {QPoint(124, 130), QPoint(3, 100), QPoint(240, 200)}) {
        const QColor got = shot.pixelColor(QPoint(40, 40) + p);
        QVERIFY2(sameColour(got, picture.pixelColor(p)), qPrintable(got.name()));
    }
    // Outside the picture's rectangle the window shows its own background.
    QVERIFY(!sameColour(shot.pixelColor(20, 150), picture.pixelColor(124, 130)));
}

void TestWidgets::inputBox()
{
    frmInputBox box;
    box.SetMessage(QStringLiteral("文件名:"));
    QCOMPARE(box.windowTitle(), QStringLiteral("输入框"));
    QCOMPARE(child<QLabel>(&box, "lab_Title")->text(), QStringLiteral("是否保存当前内容？"));
    QCOMPARE(child<QLabel>(&box, "labInfo")->text(), QStringLiteral("文件名:"));
    QCOMPARE(box.getValue(), QString());

    const int result = execAnswering(box, [](QDialog* d) {
        QLineEdit* edit = child<QLineEdit>(d, "txtValue");
        QVERIFY(edit);
        QTest::keyClicks(edit, QStringLiteral("abc "));
        QInputMethodEvent commit; // Chinese arrives through the input method
        commit.setCommitString(QStringLiteral("文本"));
        QApplication::sendEvent(edit, &commit);
        clickButton(d, "btnOk");
    });
    QCOMPARE(result, 1);
    QCOMPARE(box.getValue(), QStringLiteral("abc 文本"));

    frmInputBox declined;
    declined.SetMessage(QStringLiteral("文件名:"));
    const int no = execAnswering(declined, [](QDialog* d) {
        QTest::keyClicks(child<QLineEdit>(d, "txtValue"), QStringLiteral("x"));
        clickButton(d, "btnCancel");
    });
    QCOMPARE(no, 0);
    QCOMPARE(declined.getValue(), QString());
}

void TestWidgets::drag()
{
    frmMessageBox box;
    box.SetMessage(QStringLiteral("拖动"), 0);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint start = box.pos();
    const QPoint grip = box.mapToGlobal(QPoint(60, 12));

    // The right button does not start a drag.
    sendMouse(&box, QEvent::MouseButtonPress, grip, Qt::RightButton, Qt::RightButton);
    sendMouse(&box, QEvent::MouseMove, grip + QPoint(30, 20), Qt::NoButton, Qt::RightButton);
    QCOMPARE(box.pos(), start);
    sendMouse(&box, QEvent::MouseButtonRelease, grip + QPoint(30, 20), Qt::RightButton, Qt::NoButton);

    // The left button drags the window with the cursor, step after step.
    sendMouse(&box, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&box, QEvent::MouseMove, grip + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(box.pos(), start + QPoint(30, 20));
    sendMouse(&box, QEvent::MouseMove, grip + QPoint(-15, 45), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(box.pos(), start + QPoint(-15, 45));

    // A move without a held button does not drag, and a release ends the drag.
    sendMouse(&box, QEvent::MouseMove, grip + QPoint(70, 70), Qt::NoButton, Qt::NoButton);
    QCOMPARE(box.pos(), start + QPoint(-15, 45));
    sendMouse(&box, QEvent::MouseButtonRelease, grip + QPoint(-15, 45), Qt::LeftButton, Qt::NoButton);
    sendMouse(&box, QEvent::MouseMove, grip + QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(box.pos(), start + QPoint(-15, 45));
}

namespace {

// A window that drags with its own rules, as the main window does.
class PinnedDialog : public FramelessDialog
{
public:
    bool pinned = false;
    int moves = 0;

protected:
    bool canDrag() const override { return !pinned; }
    void windowDragged() override { ++moves; }
};

} // namespace

void TestWidgets::dragHookStopsMove()
{
    PinnedDialog dialog;
    dialog.resize(200, 100);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    const QPoint grip = dialog.mapToGlobal(QPoint(10, 10));
    sendMouse(&dialog, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&dialog, QEvent::MouseMove, grip + QPoint(5, 5), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(dialog.pos(), start + QPoint(5, 5));
    QCOMPARE(dialog.moves, 1);
    dialog.pinned = true;
    sendMouse(&dialog, QEvent::MouseMove, grip + QPoint(50, 50), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(dialog.pos(), start + QPoint(5, 5));
    QCOMPARE(dialog.moves, 1);
}

void TestWidgets::iconHelper()
{
    IconHelper* first = IconHelper::Instance();
    IconHelper* second = IconHelper::Instance();
    QCOMPARE(first, second);
    QCOMPARE(first->parent(), QCoreApplication::instance());
    QVERIFY(!first->family().isEmpty());
    QVERIFY(QFontDatabase().families().contains(first->family()));

    QLabel label;
    QPushButton button;
    first->setIcon(&label, QChar(0xF00A), 12);
    second->setIcon(&button, QChar(0xF068), 10);
    QCOMPARE(label.font().pointSize(), 12);
    QCOMPARE(button.font().pointSize(), 10);
    QCOMPARE(label.font().family(), first->family());
    QCOMPARE(label.text(), QString(QChar(0xF00A)));
    QCOMPARE(button.text(), QString(QChar(0xF068)));
}

namespace {

class StyleChangeCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::StyleChange)
            ++count;
        return false;
    }
};

} // namespace

void TestWidgets::switchButton()
{
    QWidget page;
    auto* layout = new QVBoxLayout(&page);
    auto* sw = new SwitchButton(&page);
    layout->addWidget(sw);
    page.resize(400, 300);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    QVERIFY(sw->switchedOn);
    QVERIFY(sw->styleSheet().contains("btncheckon.png"));
    QCOMPARE(sw->size(), QSize(87, 28));
    QCOMPARE(sw->focusPolicy(), Qt::NoFocus);
    QCOMPARE(sw->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(sw, Qt::LeftButton);
    QVERIFY(!sw->switchedOn);
    QVERIFY(sw->styleSheet().contains("btncheckoff.png"));
    QTest::mouseClick(sw, Qt::LeftButton);
    QVERIFY(sw->switchedOn);
    QVERIFY(sw->styleSheet().contains("btncheckon.png"));

    StyleChangeCounter counter;
    sw->installEventFilter(&counter);
    sw->setOnOff(true);
    QCOMPARE(counter.count, 0);
    QVERIFY(sw->switchedOn);
    sw->setOnOff(false);
    QVERIFY(!sw->switchedOn);
    QVERIFY(sw->styleSheet().contains("btncheckoff.png"));
    QVERIFY(counter.count > 0);
    sw->setOnOff(true);
    QVERIFY(sw->switchedOn);
    QVERIFY(sw->styleSheet().contains("btncheckon.png"));
    QCOMPARE(sw->size(), QSize(87, 28));
}

void TestWidgets::styleSheets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("colour");
    // clang-format off
    QTest::addRow("white") << "white" << "#F0F0F0";
    QTest::addRow("blue") << "blue" << "#EAF7FF";
    QTest::addRow("gray") << "gray" << "#F0F0F0";
    QTest::addRow("black") << "black" << "#F0F0F0";
    QTest::addRow("brown") << "brown" << "#D7DBE4";
    QTest::addRow("dev") << "dev" << "#CFDDEE";
    QTest::addRow("silvery") << "silvery" << "#CFD4D8";
    // clang-format on
}

// Each sheet leads with its palette rule, is plain ASCII, and parses when widgets are styled.
void TestWidgets::styleSheets()
{
    QFETCH(QString, name);
    QFETCH(QString, colour);
    const QByteArray bytes = readResource(":/image/" + name + ".css");
    QVERIFY(!bytes.isEmpty());
    for (const char c : bytes)
        QVERIFY2(uchar(c) < 0x80 && c != '\0', "only ASCII, no NUL");

    const QString sheet = QString::fromLatin1(bytes);
    QVERIFY(sheet.startsWith("QPalette{background:" + colour + ";}"));
    const QColor palette(sheet.mid(20, 7));
    QVERIFY(palette.isValid());
    QCOMPARE(palette.name().toUpper(), colour);
    QCOMPARE(sheet.count('{'), sheet.count('}'));

    g_warnings.clear();
    g_previousHandler = qInstallMessageHandler(collectWarnings);
    qApp->setStyleSheet(sheet);
    {
        frmMessageBox2 box;
        box.SetMessage(QStringLiteral("样式"), 0);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.grab();
    }
    qInstallMessageHandler(g_previousHandler);
    for (const QString& w : qAsConst(g_warnings))
        QVERIFY2(!w.contains("parse", Qt::CaseInsensitive), qPrintable(w));

    // The frame rule reaches the window that carries the property.
    frmMessageBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QColor corner = box.grab().toImage().pixelColor(0, 0);
    QVERIFY2(corner != palette, "the frame border is drawn on windows marked Form");

    // The close button turns red under the mouse, in every scheme: it is drawn by the
    // application's style once plain and once in the hover state.
    QPushButton* close = child<QPushButton>(&box, "btnMenu_Close");
    const QColor idle = renderButton(close, false).pixelColor(2, 2);
    const QColor hovered = renderButton(close, true).pixelColor(2, 2);
    QVERIFY2(hovered != idle, qPrintable(hovered.name()));
    QVERIFY2(hovered.red() > 180 && hovered.green() < 60 && hovered.blue() < 80, qPrintable(hovered.name()));
}

QTEST_MAIN(TestWidgets)
#include "test_widgets.moc"
