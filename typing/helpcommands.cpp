#include "typing/helpcommands.h"

#include "app/core/app.h"
#include "app/frmmessagebox.h"
#include "app/frmmessagebox2.h"
#include "app/frmmessagebox3.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDebug>
#include <QDesktopServices>
#include <QUrl>
#include <QUrlQuery>

#include <utility>

namespace {

const QString kAboutNotice = QStringLiteral("<br>本软件免费使用，仅供跟打练习与交流。"
                                            "<br>问题与建议请到官方群或贴吧反馈。");

const QDate kFirstRelease(2014, 12, 1);

} // namespace

HelpCommands::HelpCommands(QWidget* window, std::function<void(const QString&, int ms)> notice)
    : QObject(window), m_window(window), m_notice(std::move(notice))
{
}

void HelpCommands::sponsor()
{
    frmMessageBox2 box(m_window);
    box.SetMessage(QStringLiteral("如果您认为本软件的质量不错，使用后收获很大，不妨小额赞助我一下，"
                                  "让我有动力继续写出高质量的软件。"),
                   1);
    if (box.exec() != 1)
        return;
    frmMessageBox3 picture(m_window);
    picture.SetMessage(QString(), 0);
    picture.exec();
}

void HelpCommands::download()
{
    const qint64 days = kFirstRelease.daysTo(QDate::currentDate());
    frmMessageBox2 box(m_window);
    box.SetMessage(Deployment::link(App::DownloadUrl, QStringLiteral("Tavrel跟打器")) +
                       QStringLiteral("从2014/12/1至今已经更新<font color='red';><b>") + QString::number(days) +
                       QStringLiteral("</b></font>天"),
                   2);
    box.exec();
}

void HelpCommands::forum()
{
    const QString base = Deployment::siteBase(App::ForumUrl);
    if (base.isEmpty()) {
        m_notice(QStringLiteral("未设置论坛地址"), 1000);
        return;
    }
    QUrl url(base + QStringLiteral("/f"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("ie"), QStringLiteral("utf-8"));
    query.addQueryItem(QStringLiteral("kw"), QStringLiteral("Tavrel跟打器"));
    query.addQueryItem(QStringLiteral("fr"), QStringLiteral("search"));
    url.setQuery(query);
    if (!QDesktopServices::openUrl(url))
        qDebug() << "贴吧：无法打开浏览器" << url.toString();
}

void HelpCommands::about()
{
    frmMessageBox2 box(m_window);
    box.SetMessage(QStringLiteral("%1 更新时间:%2").arg(App::AppTitle, App::ReleaseDate) + kAboutNotice, 3);
    box.exec();
}

void HelpCommands::chatGroup()
{
    frmMessageBox box(m_window);
    if (App::ChatGroup.isEmpty()) {
        box.SetMessage(QStringLiteral("未设置官方群号。"), 0);
        box.exec();
        return;
    }
    QApplication::clipboard()->setText(App::ChatGroup);
    box.SetMessage(QStringLiteral("QQ群号已复制到剪切板！"), 0);
    box.exec();
}
