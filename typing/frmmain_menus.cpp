// Main window: the menu tree, the right-click menu, the window shortcuts and the system-wide boss
// key, and the small commands behind them (typing mode, colours, font, help texts, settings).
#include "typing/frmmain.h"
#include "typing/typingview.h"
#include "typing/chatroad.h"
#include "ui_frmmain.h"

#include "app/core/app.h"
#include "app/frmmessagebox.h"
#include "app/frmmessagebox2.h"
#include "app/frmmessagebox3.h"
#include "app/globalshortcut.h"
#include "typing/core/drills.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFontDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QString kAboutNotice = QStringLiteral("<br>本软件免费使用，仅供跟打练习与交流。"
                                            "<br>问题与建议请到官方群或贴吧反馈。");

const QDate kFirstRelease(2014, 12, 1);

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

// ---- Menu tree ----

QAction* frmMain::addCommand(QMenu* menu, const QString& text, void (frmMain::*slot)(), const QString* key)
{
    QAction* action = menu->addAction(text);
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    if (key)
        m_shortcutBindings.append(qMakePair(key, action));
    return action;
}

void frmMain::initMenus()
{
    // The window is about to be shown by whoever builds it.
    windowShown = true;

    QMenu* mainMenu = m_menuBar->addMenu(QStringLiteral("菜单"));
    m_settingAction = addCommand(mainMenu, QStringLiteral("设置"), &frmMain::showSetting, &App::Kjsz);
    m_sendAction = addCommand(mainMenu, QStringLiteral("发文"), &frmMain::showFawen, &App::Kjfw);
    QMenu* loadMenu = mainMenu->addMenu(QStringLiteral("载文"));
    addCommand(loadMenu, QStringLiteral("载文"), &frmMain::zdzwSlot, &App::Kjzd);
    addCommand(loadMenu, QStringLiteral("从QQ窗口剪切板"), &frmMain::sdzwSlot, &App::Kjsd);
    m_getWayGroup = addExclusiveGroup(this, loadMenu,
                                      {QStringLiteral("\tTAB方式获取"), QStringLiteral("\t鼠标方式获取")}, App::GetWay);
    for (QAction* action : m_getWayGroup->actions())
        connect(action, &QAction::triggered, this, &frmMain::getWaySlot);

    m_groupMenu = m_menuBar->addMenu(QStringLiteral("换群"));
    m_groupMenu->setObjectName(QStringLiteral("menuGroup"));
    m_chat->attachMenu(m_groupMenu);

    m_modeMenu = m_menuBar->addMenu(QStringLiteral("模式"));
    m_modeGroup = addExclusiveGroup(
        this, m_modeMenu, {QStringLiteral("\t跟打模式"), QStringLiteral("\t自由模式"), QStringLiteral("\t盲打模式")},
        App::Pattern);
    const QList<QAction*> modes = m_modeGroup->actions();
    connect(modes.at(FollowTyping), &QAction::triggered, this, &frmMain::gdSlot);
    connect(modes.at(FreeTyping), &QAction::triggered, this, &frmMain::zySlot);
    connect(modes.at(BlindTyping), &QAction::triggered, this, &frmMain::mdSlot);

    QMenu* toolsMenu = m_menuBar->addMenu(QStringLiteral("功能"));
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
    addCommand(keyList, QStringLiteral("重打"), &frmMain::Reset, &App::Kjcd);
    addCommand(keyList, QStringLiteral("换群"), &frmMain::hqSlot, &App::Kjhq);
    addCommand(keyList, QStringLiteral("乱序"), &frmMain::lxSlot, &App::Kjlx);
    addCommand(keyList, QStringLiteral("暂停"), &frmMain::Stop, &App::Kjzt);
    addCommand(keyList, QStringLiteral("暂停/结束(自由模式)"), &frmMain::pauseSlot, &App::Kjzj);
    // Listed only: the boss key is system-wide and has no window shortcut.
    keyList->addAction(QStringLiteral("老板键"));
    addCommand(keyList, QStringLiteral("检验真伪"), &frmMain::checkSlot, &App::Kjjy);
    addCommand(toolsMenu, QStringLiteral("编码查询"), &frmMain::bmcxSlot);
    addCommand(toolsMenu, QStringLiteral("拆分图解"), &frmMain::cftjSlot, &App::Kjcf);
    addCommand(toolsMenu, QStringLiteral("打开自带输入法"), &frmMain::inputSlot);
    addCommand(toolsMenu, QStringLiteral("测试理论码长"), &frmMain::mcSlot);
    addCommand(toolsMenu, QStringLiteral("打开曲线图"), &frmMain::showSlot);
    m_saveAction = addCommand(toolsMenu, QStringLiteral("保存跟打进度"), &frmMain::saveSlot);
    addCommand(toolsMenu, QStringLiteral("清空成绩栏"), &frmMain::qkSlot);
    addCommand(toolsMenu, QStringLiteral("清空置顶成绩栏"), &frmMain::zdSlot);
    addCommand(toolsMenu, QStringLiteral("清空打字记录"), &frmMain::jlSlot);
    addCommand(toolsMenu, QStringLiteral("手动上传成绩"), &frmMain::uploadcjSlot);

    QMenu* textMenu = m_menuBar->addMenu(QStringLiteral("发文"));
    m_openAction = addCommand(textMenu, QStringLiteral("打开"), &frmMain::openSlot);
    m_clipboardAction = addCommand(textMenu, QStringLiteral("剪切板"), &frmMain::getClipboard);
    m_removeSpacesAction = addCommand(textMenu, QStringLiteral("去除空格"), &frmMain::qcSlot);
    const QList<void (frmMain::*)()> drillSlots{&frmMain::qwSlot, &frmMain::zwSlot, &frmMain::hwSlot, &frmMain::ywSlot};
    const QList<BuiltinDrill> drills = builtinDrills();
    for (int i = 0; i < drills.size() && i < drillSlots.size(); ++i)
        m_drillActions.append(addCommand(textMenu, builtinDrillTitle(drills.at(i)), drillSlots.at(i)));
    m_articleMenu = textMenu->addMenu(QStringLiteral("文章"));
    connect(m_articleMenu, &QMenu::triggered, this, &frmMain::menu1ActionClick);
    fillArticleMenu(QCoreApplication::applicationDirPath() + QStringLiteral("/文章"));
    addCommand(textMenu, QStringLiteral("发送成绩"), &frmMain::cjSlot, &App::Kjcj);
    addCommand(textMenu, QStringLiteral("分享发文"), &frmMain::shSlot, &App::Kjsh);
    addCommand(textMenu, QStringLiteral("发下一段"), &frmMain::fxSlot, &App::Kjfx);
    addCommand(textMenu, QStringLiteral("停止发文"), &frmMain::tzSlot, &App::Kjtz);

    QMenu* helpMenu = m_menuBar->addMenu(QStringLiteral("帮助"));
    addCommand(helpMenu, QStringLiteral("赞助作者"), &frmMain::zanzhuSlot);
    QAction* download = addCommand(helpMenu, QStringLiteral("下载地址"), &frmMain::xzSlot);
    QFont bold = download->font();
    bold.setBold(true);
    download->setFont(bold);
    addCommand(helpMenu, QStringLiteral("加入官方群"), &frmMain::qqSlot);
    addCommand(helpMenu, QStringLiteral("关注贴吧"), &frmMain::tbSlot);
    addCommand(helpMenu, QStringLiteral("关于"), &frmMain::aboutSlot);

    connect(m_menuBar->addAction(QStringLiteral("复位")), &QAction::triggered, this, &frmMain::fuwSlot);
    connect(m_menuBar->addAction(QStringLiteral("排行榜")), &QAction::triggered, this, &frmMain::rankSlot);
    m_loginAction = m_menuBar->addAction(App::LoginMenuText);
    connect(m_loginAction, &QAction::triggered, this, &frmMain::loginSlot);
    m_registerAction = m_menuBar->addAction(App::RegisterMenuText);
    connect(m_registerAction, &QAction::triggered, this, &frmMain::regSlot);

    shortcutSlot();
}

void frmMain::fillArticleMenu(const QString& folder)
{
    m_articleFolder = folder;
    m_articleMenu->clear();
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files) {
        const QString name = file.left(file.size() - 4);
        // An ampersand in a file name is shown as itself, not taken as a mnemonic marker.
        QAction* action = m_articleMenu->addAction(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setData(name);
    }
}

void frmMain::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
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
    menu.exec(event->globalPos());
}

void frmMain::menu1ActionClick(QAction* action)
{
    if (!action)
        return;
    openArticle(action->data().isValid() ? action->data().toString() : action->text());
}

// ---- Hot keys ----

void frmMain::shortcutSlot()
{
    // The previous boss key gives its combination back before the new one is grabbed, so a changed
    // key leaves nothing behind and each press reaches the window once.
    delete m_bossKey;
    m_bossKey = new MyGlobalShortCut(App::Kjlb, this);
    m_bossKey->setParent(this);
    connect(m_bossKey, &MyGlobalShortCut::activated, this, &frmMain::activated);

    for (const auto& binding : qAsConst(m_shortcutBindings))
        binding.second->setShortcut(QKeySequence::fromString(*binding.first, QKeySequence::NativeText));
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_S));
    m_openAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_O));
}

void frmMain::activated()
{
    bossSlot();
}

void frmMain::bossSlot()
{
    if (windowShown) {
        hide();
        windowShown = false;
        setSendPanelVisible(false);
    } else {
        showNormal();
        windowShown = true;
        setSendPanelVisible(true);
    }
}

void frmMain::settingRecv()
{
    shortcutSlot();
    ui->horizontalLayoutWidget->setVisible(App::Showcj);
    openCodeFile();
    openCodeFile2();
    getHwnd();
}

// ---- Typing mode ----

void frmMain::setTypingMode(int newMode)
{
    mode = newMode;
    if (App::Pattern != newMode) {
        App::Pattern = newMode;
        // Restoring the saved mode while the window is built leaves the file alone.
        if (m_setUpDone)
            App::writeConfig();
    }
    if (m_modeGroup && newMode >= 0 && newMode < m_modeGroup->actions().size())
        m_modeGroup->actions().at(newMode)->setChecked(true);

    ui->textEdit->setVisible(newMode != FreeTyping);
    labProgress->setVisible(newMode != FreeTyping);
    m_view->setTypingStyle(typingPaneStyle());
    Reset();
}

void frmMain::gdSlot()
{
    setTypingMode(FollowTyping);
}

void frmMain::zySlot()
{
    setTypingMode(FreeTyping);
}

void frmMain::mdSlot()
{
    setTypingMode(BlindTyping);
}

// ---- Colours and font ----

bool frmMain::pickColour(QString& stored)
{
    const QColor colour = QColorDialog::getColor(Qt::green, this, QStringLiteral("颜色"));
    if (!colour.isValid())
        return false;
    stored = colour.name();
    App::writeConfig();
    return true;
}

void frmMain::ztcdSlot()
{
    if (pickColour(App::Ztcd))
        applyColours();
}

void frmMain::ztcgSlot()
{
    if (pickColour(App::Ztcg))
        applyColours();
}

void frmMain::dbjSlot()
{
    if (pickColour(App::Dbj))
        applyColours();
}

void frmMain::gbjSlot()
{
    if (pickColour(App::Gbj))
        applyColours();
}

void frmMain::cbjSlot()
{
    if (pickColour(App::Tbj))
        applyColours();
}

// The marking colours are used by the next colouring of the reference pane.
void frmMain::rcSlot()
{
    pickColour(App::Rc);
}

void frmMain::wcSlot()
{
    pickColour(App::Wc);
}

void frmMain::ygczSlot()
{
    App::Font1.clear();
    App::Ztcd = QStringLiteral("#000000");
    App::Ztcg = QStringLiteral("#000000");
    App::Dbj = QStringLiteral("#f4f7fc");
    App::Gbj = QStringLiteral("#f4f7fc");
    App::Tbj = QStringLiteral("#f4f7fc");
    App::Rc = QStringLiteral("#707070");
    App::Wc = QStringLiteral("#FF3030");
    App::writeConfig();
    setPaneFont(QFont(QStringLiteral("微软雅黑"), 26));
    applyColours();
}

void frmMain::fontSlot()
{
    bool accepted = false;
    const QFont font =
        QFontDialog::getFont(&accepted, ui->textEdit->document()->defaultFont(), this, QStringLiteral("字体"));
    if (!accepted)
        return;
    setPaneFont(font);
    App::Font1 = font.toString();
    App::writeConfig();
}

void frmMain::fuwSlot()
{
    App::Width = 650;
    App::Height = 475;
    resize(650, 475);
}

// ---- Help ----

void frmMain::zanzhuSlot()
{
    frmMessageBox2 box(this);
    box.SetMessage(QStringLiteral("如果您认为本软件的质量不错，使用后收获很大，不妨小额赞助我一下，"
                                  "让我有动力继续写出高质量的软件。"),
                   1);
    if (box.exec() != 1)
        return;
    frmMessageBox3 picture(this);
    picture.SetMessage(QString(), 0);
    picture.exec();
}

void frmMain::xzSlot()
{
    const qint64 days = kFirstRelease.daysTo(QDate::currentDate());
    frmMessageBox2 box(this);
    box.SetMessage(QStringLiteral("<a href='%1'>Tavrel跟打器</a>从2014/12/1至今已经更新<font color='red';><b>")
                           .arg(App::DownloadUrl.toHtmlEscaped()) +
                       QString::number(days) + QStringLiteral("</b></font>天"),
                   2);
    box.exec();
}

void frmMain::tbSlot()
{
    if (App::ForumUrl.isEmpty()) {
        showTitleMessage(QStringLiteral("未设置论坛地址"), 1000);
        return;
    }
    QUrl url(App::ForumUrl + QStringLiteral("/f"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("ie"), QStringLiteral("utf-8"));
    query.addQueryItem(QStringLiteral("kw"), QStringLiteral("Tavrel跟打器"));
    query.addQueryItem(QStringLiteral("fr"), QStringLiteral("search"));
    url.setQuery(query);
    if (!QDesktopServices::openUrl(url))
        qDebug() << "贴吧：无法打开浏览器" << url.toString();
}

void frmMain::aboutSlot()
{
    frmMessageBox2 box(this);
    box.SetMessage(QStringLiteral("%1 更新时间:%2").arg(App::AppTitle, App::ReleaseDate) + kAboutNotice, 3);
    box.exec();
}

void frmMain::qqSlot()
{
    frmMessageBox box(this);
    if (App::ChatGroup.isEmpty()) {
        box.SetMessage(QStringLiteral("未设置官方群号。"), 0);
        box.exec();
        return;
    }
    QApplication::clipboard()->setText(App::ChatGroup);
    box.SetMessage(QStringLiteral("QQ群号已复制到剪切板！"), 0);
    box.exec();
}
