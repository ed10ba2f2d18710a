#include "input/core/cfpicture.h"

#include "app/core/app.h"
#include "app/core/myhelper.h"
#include "app/core/textfiles.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QResource>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QUrl>

#include <utility>

CfLookup::CfLookup(const CfSources& sources, ShowPicture show, QObject* parent)
    : QObject(parent), m_sources(sources), m_show(std::move(show)), m_network(new QNetworkAccessManager(this))
{
}

CfLookup::~CfLookup()
{
    cancel();
}

QString CfLookup::editionFile(const QString& edition, const QString& suffix)
{
    for (const QChar c : edition) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isNull())
            return QString();
    }
    return QStringLiteral("编码文件/") + edition + suffix;
}

QStringList CfLookup::editions(const QString& baseFolder)
{
    return listedNames(listTextFiles(baseFolder + QStringLiteral("/编码文件"), TextNames::Exact));
}

bool CfLookup::readLibrary(const QString& edition, const QString& character, QByteArray* data)
{
    data->clear();
    const QString path = editionFile(edition, QStringLiteral(".rcc"));
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    if (!QResource::registerResource(path)) {
        qDebug().noquote() << QStringLiteral("拆分库打不开:") << path;
        return true;
    }
    // Every edition but "98" keeps GIF pictures, as the outside site serves them for every edition.
    const QString extension = edition == QLatin1String("98") ? QStringLiteral("jpg") : QStringLiteral("gif");
    QFile picture(QLatin1Char(':') + edition + QStringLiteral("cf/") + character + QLatin1Char('.') + extension);
    if (picture.open(QIODevice::ReadOnly))
        *data = picture.readAll();
    picture.close();
    QResource::unregisterResource(path);
    return true;
}

bool CfLookup::countLookup(const QString& character)
{
    QSqlQuery query;
    if (!myHelper::run(query, QStringLiteral("select id,num from kelm_bmsearch where dz=?"), {character})) {
        qDebug().noquote() << QStringLiteral("拆分图解：") + query.lastError().text();
        return false;
    }
    int id = 0;
    int num = 0;
    while (query.next()) {
        id = query.value(0).toInt();
        num = query.value(1).toInt();
    }
    if (id != 0)
        return myHelper::exec(QStringLiteral("update kelm_bmsearch set num=? where dz=?"), {num + 1, character});
    return myHelper::exec(QStringLiteral("insert into kelm_bmsearch values(NULL,?,?)"), {character, num + 1});
}

void CfLookup::lookUp(const QString& character, const QString& edition)
{
    cancel();
    m_character = character;
    m_edition = edition;
    next();
}

void CfLookup::cancel()
{
    // Forgotten before the abort, so its finished() (emitted inside abort) is dropped.
    QNetworkReply* running = m_reply;
    m_reply = nullptr;
    if (running)
        running->abort();
}

void CfLookup::next()
{
    for (;;) {
        switch (m_level) {
        case OwnSite: {
            // The program's site has pictures of the editions 86 (GIF) and 98 (JPG) only.
            const bool jpg = m_edition == QLatin1String("98");
            if (m_sources.ownSite.trimmed().isEmpty() || (!jpg && m_edition != QLatin1String("86"))) {
                m_level = OutsideSite;
                continue;
            }
            request(Deployment::siteBase(m_sources.ownSite) +
                        QStringLiteral("/Public/Cf/%1cf/%2.%3").arg(m_edition, m_character, jpg ? "jpg" : "gif"),
                    jpg ? "JPG" : "GIF");
            return;
        }
        case OutsideSite:
            if (m_sources.outsideSite.trimmed().isEmpty()) {
                m_level = NoSource;
                continue;
            }
            request(Deployment::siteBase(m_sources.outsideSite) +
                        QStringLiteral("/wubi/%1tj/%2.gif").arg(m_edition, m_character),
                    "GIF");
            return;
        default:
            emit downloadWanted();
            return;
        }
    }
}

void CfLookup::request(const QString& address, const char* format)
{
    m_format = format;
    m_data.clear();
    QNetworkReply* reply = m_network->get(QNetworkRequest(QUrl(address, QUrl::TolerantMode)));
    reply->setReadBufferSize(ReadBufferBytes);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (reply == m_reply)
            take(reply);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
    // A dead site must not keep the window waiting: the abort ends the reply as failed.
    QTimer::singleShot(m_sources.timeoutMs, reply, [reply] { reply->abort(); });
}

bool CfLookup::take(QNetworkReply* reply)
{
    m_data += reply->read(MaxReplyBytes + 1 - m_data.size());
    if (m_data.size() <= MaxReplyBytes)
        return true;
    qDebug().noquote() << QStringLiteral("拆分图解：回复超过 4 MB，已放弃:") << reply->url().toString();
    // Forgotten before the abort, so its finished() (emitted inside abort) is dropped.
    m_reply = nullptr;
    m_data.clear();
    reply->abort();
    failed();
    return false;
}

void CfLookup::finished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    if (reply->error() != QNetworkReply::NoError) {
        m_reply = nullptr;
        failed();
        return;
    }
    if (!take(reply))
        return;
    m_reply = nullptr;
    const QByteArray data = std::exchange(m_data, QByteArray());
    if (!data.isEmpty() && m_show(data, m_format)) {
        if (m_sources.countLookups)
            countLookup(m_character);
        return;
    }
    failed();
}

void CfLookup::failed()
{
    if (m_level < NoSource)
        ++m_level;
    next();
}
