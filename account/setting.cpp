#include "account/setting.h"

#include "account/core/hotkeys.h"
#include "account/core/inputmethodsync.h"
#include "app/core/app.h"
#include "app/core/screenplace.h"
#include "app/core/textfiles.h"
#include "app/dragframe.h"
#include "app/fieldtext.h"
#include "app/frmmessagebox.h"
#include "app/switchbutton.h"
#include "ui_setting.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// The keys the window edits, in the order OK stores them; each control is named like its key in
// lower case.
const QStringList& editedKeys()
{
    static const QStringList keys = [] {
        QStringList list = {"ShuRuFa", "ShuRuFa2", "QianMing", "QianMing2", "BianMa", "BianMa2", "Zdcm",
                            "KongGe", "CuoZiSj", "Limitmz", "ManZiSj", "Fanye", "Yulanq", "Yulanh",
                            "Sudu", "Jijian", "Machang", "Zishu", "Shijian", "Huigai", "Tuige", "Huiche",
                            "Jianshu", "Xuanchong", "Jianzhun", "Jianfa", "Chongda", "Daci", "Cuozi"};
        list << HotKeys::keyNames();
        list << QStringList{"Gdyw", "Gdsz", "Gdqs", "Gdcz", "Gdcdlim", "Gdcd", "Gdsdlim", "Gdsd", "Gdyslim",
                            "Gdjs", "ShiShi", "Quchu", "Tihuan", "Showcj", "BianSe", "TanChuang",
                            "GbtanChuang", "Limit", "Limitsudu", "Cypm"};
        return list;
    }();
    return keys;
}

struct Page
{
    const char* button;
    const char* caption;
    const char* page;
};

const Page kPages[] = {
    {"btnJiben", "基本设置", "jiben"},  {"btnChengji", "成绩栏", "chengji"}, {"btnKuaijie", "快捷键设置", "kuaijie"},
    {"btnGenda", "跟打设置", "genda"}, {"btnGaoji", "高级设置", "gaoji"},
};

// The code file the restore button picks: "bm.txt" where the folder has it, else the
// configuration's own default, so code hints are not silently turned off.
const QString kPreferredCodeFile = QStringLiteral("bm.txt");

} // namespace

Setting::Setting(QWidget* parent) : QWidget(parent), m_ui(new Ui::Setting)
{
    m_ui->setupUi(this);
    m_besidePages = width() - m_ui->jiben->width();
    setWindowModality(Qt::ApplicationModal);
    initStyle();
    initForm();
    DragFrame::centreOnDesktop(this);
}

Setting::~Setting() = default;

Setting* Setting::showNew(QObject* context, std::function<void()> onSetting)
{
    auto* window = new Setting;
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &Setting::setting, context, std::move(onSetting));
    window->show();
    return window;
}

void Setting::initStyle()
{
    DragFrame::initFrame(this, m_ui->lab_Ico, m_ui->btnMenu_Close);
    DragFrame::makeDraggable(this);
    DragFrame::closeOnEscape(this);
    connect(m_ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
}

void Setting::initForm()
{
    for (QPushButton* button : {m_ui->btnJiben, m_ui->btnChengji, m_ui->btnKuaijie, m_ui->btnGaoji, m_ui->btnGenda})
        connect(button, &QPushButton::clicked, this, &Setting::changeStatus);
    changeText();
    changeVisible();
    m_ui->btnJiben->setText(QStringLiteral("【基本设置】→"));
    m_ui->jiben->setVisible(true);

    const std::pair<QLabel*, const char*> tips[] = {
        {m_ui->labLimitmz, "低于某瞬时速度时收集上屏的字"},
        {m_ui->labSudu, "平均每分钟打字总数"},
        {m_ui->labJijian, "平均每秒按键数量"},
        {m_ui->labMachang, "平均每字按键数量"},
        {m_ui->labZishu, "跟打字数"},
        {m_ui->labShijian, "跟打用时"},
        {m_ui->labHuigai, "字已上屏时按下BackSpace的次数"},
        {m_ui->labTuige, "字未上屏时按下BackSpace的次数"},
        {m_ui->labHuiche, "回车使用量"},
        {m_ui->labJianshu, "总按键数"},
        {m_ui->labXuanchong, "使用数字及分号引号选重码的键数"},
        {m_ui->labJianzhun, "按键精准度"},
        {m_ui->labJianfa, "左右手按键比率\n长按键时，显示0.00%\n左手按键为0时，显示-100.00%\n"
                          "右手按键为0时，显示+100.00%\n其余情况为正常情况，100.00%说明左右手按键比率为1:1"},
        {m_ui->labChongda, "重打的次数"},
        {m_ui->labDaci, "打词字数占跟打总数的比率"},
        {m_ui->labCuozi, "打错的字数"},
        {m_ui->labTihuan, "全角转半角，英文符号转中文符号。"},
        {m_ui->labKjlb, "全局快捷键，重启软件后才能注销之前的快捷键。"},
    };
    for (const auto& tip : tips)
        tip.first->setToolTip(QString::fromUtf8(tip.second));

    // Read afresh at every opening; a missing folder gives an empty list.
    m_ui->bianma->addItems(listedNames(
        listTextFiles(QCoreApplication::applicationDirPath() + QStringLiteral("/编码文件"), TextNames::FileName)));

    for (const QString& key : editedKeys())
        showValue(key, App::configValue(App::configIndex(key)));
    for (const QString& key : HotKeys::keyNames())
        connect(hotKeyField(key), &QLineEdit::textChanged, this, &Setting::fitHotKeys);
    fitHotKeys();
}

QLineEdit* Setting::hotKeyField(const QString& key) const
{
    return m_ui->kuaijie->findChild<QLineEdit*>(key.toLower());
}

void Setting::fitHotKeys()
{
    int needed = 0;
    for (const QString& key : HotKeys::keyNames())
        needed = qMax(needed, FieldText::neededWidth(hotKeyField(key), hotKeyField(key)->text()));
    const QRect first = hotKeyField(HotKeys::keyNames().first())->geometry();
    // Both columns widen alike, and never past the screen: a longer key scrolls in its field.
    const QRect wanted(geometry().topLeft(), QSize(m_ui->jiben->width() + m_besidePages, height()));
    const int room = DragFrame::availableAreaNear(wanted).width() - wanted.width();
    const int grow = qMin(needed - first.width(), room / 2);
    if (grow <= 0)
        return;
    // Every field widens alike; the right column, and the pages and the window with it, make room.
    for (QWidget* w : m_ui->kuaijie->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w->x() > first.right())
            w->move(w->x() + grow, w->y());
        if (HotKeys::keyNames().contains(w->objectName(), Qt::CaseInsensitive))
            w->resize(w->width() + grow, w->height());
    }
    const int wider = 2 * grow;
    for (const Page& page : kPages) {
        QWidget* w = findChild<QWidget*>(QLatin1String(page.page));
        w->resize(w->width() + wider, w->height());
    }
    for (QWidget* button : {m_ui->btnMoren, m_ui->btnOk, m_ui->btnClose})
        button->move(button->x() + wider, button->y());
    // From the pages, not from geometry(): the window manager's answer to the last widening may
    // still be on its way while the next key widens again.
    const QRect widened(wanted.topLeft(), QSize(wanted.width() + wider, wanted.height()));
    setGeometry(ScreenPlace::keptInside(widened, DragFrame::availableAreaNear(widened)));
}

void Setting::showValue(const QString& key, const QVariant& value)
{
    QWidget* control = m_ui->widget_main->findChild<QWidget*>(key.toLower());
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(value.toString());
        edit->setCursorPosition(0); // a text longer than its field shows its start
    } else if (auto* onOff = qobject_cast<SwitchButton*>(control)) {
        onOff->setOnOff(value.toBool());
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        spin->setValue(value.toInt()); // clamped into the range, and stored so by OK
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        check->setChecked(value.toBool());
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        if (value.userType() == QMetaType::Int) {
            // An index outside the list leaves no current item.
            list->setCurrentIndex(value.toInt());
        } else {
            const int index = list->findText(value.toString(), Qt::MatchExactly | Qt::MatchCaseSensitive);
            // The fixed list keeps its first item; the code-file list shows that the file is gone.
            if (index >= 0 || list != m_ui->gdjs)
                list->setCurrentIndex(index);
        }
    }
}

QVariant Setting::controlValue(const QString& key) const
{
    const QWidget* control = m_ui->widget_main->findChild<QWidget*>(key.toLower());
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text(); // as typed: a hot key must stay in the form the main window reads
    if (auto* onOff = qobject_cast<const SwitchButton*>(control))
        return onOff->switchedOn;
    if (auto* spin = qobject_cast<const QSpinBox*>(control))
        return spin->value();
    if (auto* check = qobject_cast<const QCheckBox*>(control))
        return check->isChecked();
    if (auto* list = qobject_cast<const QComboBox*>(control)) {
        if (App::configDefault(App::configIndex(key)).userType() == QMetaType::Int)
            return list->currentIndex();
        return list->currentIndex() < 0 ? QString() : list->currentText();
    }
    return QVariant();
}

void Setting::changeText()
{
    for (const Page& page : kPages)
        findChild<QPushButton*>(QLatin1String(page.button))->setText(QString::fromUtf8(page.caption));
}

void Setting::changeVisible()
{
    for (const Page& page : kPages)
        findChild<QWidget*>(QLatin1String(page.page))->setVisible(false);
}

void Setting::changeStatus()
{
    const QObject* button = sender();
    if (!button)
        return;
    for (const Page& page : kPages) {
        if (button->objectName() != QLatin1String(page.button))
            continue;
        changeText();
        changeVisible();
        findChild<QPushButton*>(QLatin1String(page.button))
            ->setText(QStringLiteral("【%1】→").arg(QString::fromUtf8(page.caption)));
        findChild<QWidget*>(QLatin1String(page.page))->setVisible(true);
        return;
    }
}

void Setting::on_btnOk_clicked()
{
    for (const QString& key : editedKeys())
        App::setConfigValue(App::configIndex(key), controlValue(key));
    App::writeConfig();
    sendInputMethod({App::ShuRuFa2, App::DbOnline, App::ShuRuFa, App::SignedInName});
    emit setting();
    close();
}

void Setting::on_btnMoren_clicked()
{
    for (const QString& key : editedKeys()) {
        QVariant value = App::configDefault(App::configIndex(key));
        if (key == QLatin1String("BianMa") && m_ui->bianma->findText(kPreferredCodeFile) >= 0)
            value = kPreferredCodeFile;
        showValue(key, value);
    }
}

bool Setting::checkHotKeyConflict() const
{
    QStringList keys;
    for (const QString& key : HotKeys::keyNames())
        keys << App::configValue(App::configIndex(key)).toString();
    return HotKeys::conflict(keys);
}

void Setting::closeEvent(QCloseEvent* event)
{
    if (!checkHotKeyConflict()) {
        event->accept();
        return;
    }
    frmMessageBox box;
    box.SetMessage(QStringLiteral("快捷键冲突！"), 2);
    box.exec();
    event->ignore();
}

