#include "typing/mainmenus.h"

#include "app/core/app.h"
#include "app/core/textfiles.h"
#include "app/globalshortcut.h"
#include "typing/chatroad.h"
#include "typing/core/drills.h"
#include "typing/frmmain.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace {

// The "风格样式" entries in menu order, each with the name of its style sheet.
const struct
{
    const char* entry;
    const char* name;
} kSchemes[] = {
    {"\t白色", "white"}, {"\t银白色", "silvery"}, {"\t黑色", "black"}, {"\t灰黑色", "brown"},
    {"\t蓝色", "dev"},   {"\t淡蓝色", "blue"},    {"\t灰色", "gray"},
};

using Command = void (frmMain::*)();

// The configured hot keys and the commands they run: their menu entries' shortcuts, and in this
// order the keys the typing pane tries for Return, which it takes itself. The boss key is
// system-wide: no window shortcut, so no entry binds it.
const struct
{
    const QString* key;
    Command slot;
} kHotKeys[] = {
    {&App::Kjsz, &frmMain::showSetting}, {&App::Kjfw, &frmMain::showFawen}, {&App::Kjcd, &frmMain::Reset},
    {&App::Kjlx, &frmMain::lxSlot},      {&App::Kjzt, &frmMain::Stop},      {&App::Kjzj, &frmMain::pauseSlot},
    {&App::Kjfx, &frmMain::fxSlot},      {&App::Kjtz, &frmMain::tzSlot},    {&App::Kjsd, &frmMain::sdzwSlot},
    {&App::Kjzd, &frmMain::zdzwSlot},    {&App::Kjhq, &frmMain::hqSlot},    {&App::Kjcj, &frmMain::cjSlot},
    {&App::Kjlb, &frmMain::bossSlot},    {&App::Kjjy, &frmMain::checkSlot}, {&App::Kjcf, &frmMain::cftjSlot},
    {&App::Kjsh, &frmMain::shSlot},
};

const QString* hotKeyOf(Command slot)
{
    for (const auto& hotKey : kHotKeys) {
        if (hotKey.slot == slot)
            return hotKey.key;
    }
    return nullptr;
}

// Checkable entries of one exclusive group, checked from the configuration before anything is
// connected, so that building the window triggers no slot and writes nothing.
QActionGroup* addExclusiveGroup(QObject* owner, QMenu* menu, const QStringList& texts, int checkedIndex)
{
    auto* group = new QActionGroup(owner);
    group->setExclusive(true);
    for (int i = 0; i < texts.size(); ++i) {
        QAction* action = menu->addAction(texts.at(i));
        action->setCheckable(true);
        action->setChecked(i == checkedIndex);
        group->addAction(action);
    }
    return group;
}

} // namespace

QAction* MainMenus::addCommand(QMenu* menu, const QString& text, void (frmMain::*slot)())
{
    QAction* action = menu->addAction(text);
    connect(action, &QAction::triggered, m_window, slot);
    if (const QString* key = hotKeyOf(slot))
        m_shortcutBindings.append(qMakePair(key, action));
    return action;
}

bool MainMenus::runHotKey(const QString& keyText)
{
    for (const auto& hotKey : kHotKeys) {
        if (*hotKey.key == keyText) {
            (m_window->*hotKey.slot)();
            return true;
        }
    }
    return false;
}

MainMenus::MainMenus(frmMain* window, QMenuBar* bar, ChatRoad* chat) : QObject(window), m_window(window)
{
    QMenu* mainMenu = bar->addMenu(QStringLiteral("菜单"));
    m_settingAction = addCommand(mainMenu, QStringLiteral("设置"), &frmMain::showSetting);
    m_sendAction = addCommand(mainMenu, QStringLiteral("发文"), &frmMain::showFawen);
    QMenu* loadMenu = mainMenu->addMenu(QStringLiteral("载文"));
    addCommand(loadMenu, QStringLiteral("载文"), &frmMain::zdzwSlot);
    addCommand(loadMenu, QStringLiteral("从QQ窗口剪切板"), &frmMain::sdzwSlot);
    QActionGroup* getWay = addExclusiveGroup(
        this, loadMenu, {QStringLiteral("\tTAB方式获取"), QStringLiteral("\t鼠标方式获取")}, App::GetWay);
    for (QAction* action : getWay->actions())
        connect(action, &QAction::triggered, m_window, &frmMain::getWaySlot);

    QMenu* groupMenu = bar->addMenu(QStringLiteral("换群"));
    groupMenu->setObjectName(QStringLiteral("menuGroup"));
    chat->attachMenu(groupMenu);

    m_modeMenu = bar->addMenu(QStringLiteral("模式"));
    m_modeGroup = addExclusiveGroup(
        this, m_modeMenu, {QStringLiteral("\t跟打模式"), QStringLiteral("\t自由模式"), QStringLiteral("\t盲打模式")},
        App::Pattern);
    const QList<QAction*> modes = m_modeGroup->actions();
    connect(modes.at(FollowTyping), &QAction::triggered, m_window, &frmMain::gdSlot);
    connect(modes.at(FreeTyping), &QAction::triggered, m_window, &frmMain::zySlot);
    connect(modes.at(BlindTyping), &QAction::triggered, m_window, &frmMain::mdSlot);

    QMenu* toolsMenu = bar->addMenu(QStringLiteral("功能"));
    addSchemeMenu(toolsMenu);
    QMenu* lookMenu = toolsMenu->addMenu(QStringLiteral("外观"));
    addCommand(lookMenu, QStringLiteral("外观重置"), &frmMain::ygczSlot);
    addCommand(lookMenu, QStringLiteral("字体"), &frmMain::fontSlot);
    QMenu* fontColour = lookMenu->addMenu(QStringLiteral("字体颜色\t"));
    addCommand(fontColour, QStringLiteral("对照区"), &frmMain::ztcdSlot);
    addCommand(fontColour, QStringLiteral("跟打区"), &frmMain::ztcgSlot);
    QMenu* background = lookMenu->addMenu(QStringLiteral("背景颜色\t"));
    addCommand(background, QStringLiteral("对照区"), &frmMain::dbjSlot);
    addCommand(background, QStringLiteral("跟打区"), &frmMain::gbjSlot);
    addCommand(background, QStringLiteral("成绩栏"), &frmMain::cbjSlot);
    QMenu* markColours = lookMenu->addMenu(QStringLiteral("对错色\t"));
    addCommand(markColours, QStringLiteral("打对色"), &frmMain::rcSlot);
    addCommand(markColours, QStringLiteral("打错色"), &frmMain::wcSlot);
    QMenu* keyList = toolsMenu->addMenu(QStringLiteral("快捷键列表"));
    addCommand(keyList, QStringLiteral("重打"), &frmMain::Reset);
    addCommand(keyList, QStringLiteral("换群"), &frmMain::hqSlot);
    addCommand(keyList, QStringLiteral("乱序"), &frmMain::lxSlot);
    addCommand(keyList, QStringLiteral("暂停"), &frmMain::Stop);
    addCommand(keyList, QStringLiteral("暂停/结束(自由模式)"), &frmMain::pauseSlot);
    // Listed only: the boss key is system-wide and has no window shortcut.
    keyList->addAction(QStringLiteral("老板键"));
    addCommand(keyList, QStringLiteral("检验真伪"), &frmMain::checkSlot);
    addCommand(toolsMenu, QStringLiteral("编码查询"), &frmMain::bmcxSlot);
    addCommand(toolsMenu, QStringLiteral("拆分图解"), &frmMain::cftjSlot);
    addCommand(toolsMenu, QStringLiteral("打开自带输入法"), &frmMain::inputSlot);
    addCommand(toolsMenu, QStringLiteral("测试理论码长"), &frmMain::mcSlot);
    addCommand(toolsMenu, QStringLiteral("打开曲线图"), &frmMain::showSlot);
    m_saveAction = addCommand(toolsMenu, QStringLiteral("保存跟打进度"), &frmMain::saveSlot);
    addCommand(toolsMenu, QStringLiteral("清空成绩栏"), &frmMain::qkSlot);
    addCommand(toolsMenu, QStringLiteral("清空置顶成绩栏"), &frmMain::zdSlot);
    addCommand(toolsMenu, QStringLiteral("清空打字记录"), &frmMain::jlSlot);
    addCommand(toolsMenu, QStringLiteral("手动上传成绩"), &frmMain::uploadcjSlot);

    QMenu* textMenu = bar->addMenu(QStringLiteral("发文"));
    m_openAction = addCommand(textMenu, QStringLiteral("打开"), &frmMain::openSlot);
    m_clipboardAction = addCommand(textMenu, QStringLiteral("剪切板"), &frmMain::getClipboard);
    m_removeSpacesAction = addCommand(textMenu, QStringLiteral("去除空格"), &frmMain::qcSlot);
    const QList<void (frmMain::*)()> drillSlots{&frmMain::qwSlot, &frmMain::zwSlot, &frmMain::hwSlot, &frmMain::ywSlot};
    const QList<BuiltinDrill> drills = builtinDrills();
    for (int i = 0; i < drills.size() && i < drillSlots.size(); ++i)
        m_drillActions.append(addCommand(textMenu, builtinDrillTitle(drills.at(i)), drillSlots.at(i)));
    m_articleMenu = textMenu->addMenu(QStringLiteral("文章"));
    connect(m_articleMenu, &QMenu::triggered, m_window, &frmMain::menu1ActionClick);
    fillArticleMenu(QCoreApplication::applicationDirPath() + QStringLiteral("/文章"));
    addCommand(textMenu, QStringLiteral("发送成绩"), &frmMain::cjSlot);
    addCommand(textMenu, QStringLiteral("分享发文"), &frmMain::shSlot);
    addCommand(textMenu, QStringLiteral("发下一段"), &frmMain::fxSlot);
    addCommand(textMenu, QStringLiteral("停止发文"), &frmMain::tzSlot);

    QMenu* helpMenu = bar->addMenu(QStringLiteral("帮助"));
    addCommand(helpMenu, QStringLiteral("赞助作者"), &frmMain::zanzhuSlot);
    QAction* download = addCommand(helpMenu, QStringLiteral("下载地址"), &frmMain::xzSlot);
    QFont bold = download->font();
    bold.setBold(true);
    download->setFont(bold);
    addCommand(helpMenu, QStringLiteral("加入官方群"), &frmMain::qqSlot);
    addCommand(helpMenu, QStringLiteral("关注贴吧"), &frmMain::tbSlot);
    addCommand(helpMenu, QStringLiteral("关于"), &frmMain::aboutSlot);

    connect(bar->addAction(QStringLiteral("复位")), &QAction::triggered, m_window, &frmMain::fuwSlot);
    connect(bar->addAction(QStringLiteral("排行榜")), &QAction::triggered, m_window, &frmMain::rankSlot);
    m_loginAction = bar->addAction(App::LoginMenuText);
    connect(m_loginAction, &QAction::triggered, m_window, &frmMain::loginSlot);
    m_registerAction = bar->addAction(App::RegisterMenuText);
    connect(m_registerAction, &QAction::triggered, m_window, &frmMain::regSlot);

    rebindShortcuts();
}

void MainMenus::fillArticleMenu(const QString& folder)
{
    m_articleFolder = folder;
    m_articleMenu->clear();
    for (const ListedText& article : listTextFiles(folder, TextNames::LessExtension)) {
        // An ampersand in a file name is shown as itself, not taken as a mnemonic marker.
        QAction* action =
            m_articleMenu->addAction(QString(article.name).replace(QLatin1Char('&'), QStringLiteral("&&")));
        // The file itself, whatever the letter case of its extension.
        action->setData(QStringList{article.name, article.fileName});
    }
}

void MainMenus::showContextMenu(const QPoint& globalPos)
{
    QMenu menu(m_window);
    menu.addAction(m_settingAction);
    menu.addAction(m_sendAction);
    menu.addSeparator();
    menu.addMenu(m_modeMenu);
    menu.addSeparator();
    menu.addAction(m_openAction);
    menu.addAction(m_clipboardAction);
    menu.addAction(m_removeSpacesAction);
    menu.addSeparator();
    menu.addActions(m_drillActions);
    menu.addSeparator();
    menu.addMenu(m_articleMenu);
    menu.exec(globalPos);
}

void MainMenus::rebindShortcuts()
{
    // The previous boss key gives its combination back before the new one is grabbed, so a changed
    // key leaves nothing behind and each press reaches the window once.
    delete m_bossKey;
    m_bossKey = new MyGlobalShortCut(App::Kjlb, m_window);
    m_bossKey->setParent(m_window);
    connect(m_bossKey, &MyGlobalShortCut::activated, m_window, &frmMain::activated);

    for (const auto& binding : qAsConst(m_shortcutBindings))
        binding.second->setShortcut(QKeySequence::fromString(*binding.first, QKeySequence::NativeText));
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_S));
    m_openAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_O));
}

void MainMenus::checkMode(int mode)
{
    if (m_modeGroup && mode >= 0 && mode < m_modeGroup->actions().size())
        m_modeGroup->actions().at(mode)->setChecked(true);
}

QString MainMenus::schemeName(const QString& entryText)
{
    for (const auto& scheme : kSchemes) {
        if (entryText == QString::fromUtf8(scheme.entry))
            return QString::fromLatin1(scheme.name);
    }
    return QString();
}

void MainMenus::addSchemeMenu(QMenu* parent)
{
    QMenu* menu = parent->addMenu(QStringLiteral("风格样式"));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (const auto& scheme : kSchemes) {
        QAction* action = menu->addAction(QString::fromUtf8(scheme.entry));
        action->setCheckable(true);
        group->addAction(action);
        // Checked before anything is connected, so restoring the saved scheme stores nothing.
        action->setChecked(App::Style == QLatin1String(scheme.name));
        connect(action, &QAction::triggered, m_window, &frmMain::StyleSlot);
    }
}
