#include "account/core/remoteinfo.h"

#include "app/core/app.h"
#include "app/core/myhelper.h"

#include <QDebug>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

namespace {

// The address service reports the caller's address in its page: either the page is the bare
// address, or the first dotted quad in it is the address. Anything else counts as no answer.
QString extractAddress(const QByteArray& body)
{
    static const QRegularExpression quad(QStringLiteral("(?<![0-9.])(\\d{1,3}(?:\\.\\d{1,3}){3})(?![0-9.])"));
    static const QRegularExpression wholeQuad(QStringLiteral("^\\d{1,3}(?:\\.\\d{1,3}){3}$"));

    const QString text = QString::fromLatin1(body).trimmed();
    QStringList candidates;
    if (wholeQuad.match(text).hasMatch() || text.contains(QLatin1Char(':')))
        candidates << text;
    const QRegularExpressionMatch m = quad.match(text);
    if (m.hasMatch())
        candidates << m.captured(1);

    for (const QString& candidate : qAsConst(candidates)) {
        QHostAddress address;
        // A bare text that QHostAddress accepts loosely (for example "42") is not taken: only a full
        // dotted quad or an IPv6 text gets here.
        if (address.setAddress(candidate))
            return address.toString();
    }
    return QString();
}

} // namespace

namespace RemoteInfo {

QString latestVersion()
{
    if (!App::DbOnline)
        return QString();
    return myHelper::getOne(QStringLiteral("select v_version from kelm_version order by v_time desc limit 1"),
                            QVariantList());
}

void fetchPublicAddress(QObject* owner, int timeoutMs)
{
    const QString base = Deployment::siteBase(App::WebUrl);
    if (base.isEmpty()) {
        App::PublicIp.clear();
        return;
    }

    // Nothing waits for the answer: the window shows at once and the address is read where it is
    // needed. The request goes with its owner.
    auto* manager = new QNetworkAccessManager(owner);
    QNetworkRequest request(QUrl(base + QStringLiteral("/ip/visitoriphost/")));
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = manager->get(request);
    // A server streaming without end must not fill the memory: the reply holds at most this much.
    reply->setReadBufferSize(MaxAnswerBytes);
    // The whole request's deadline, which a trickling server never resets.
    auto* guard = new QTimer(manager);
    guard->setSingleShot(true);

    const auto done = [manager, reply, guard](const QString& address, const QString& failure) {
        guard->stop();
        QObject::disconnect(reply, nullptr, manager, nullptr);
        QObject::disconnect(guard, nullptr, manager, nullptr);
        if (!reply->isFinished())
            reply->abort();
        App::PublicIp = address;
        if (!failure.isEmpty())
            qDebug() << "公网地址：" << failure;
        manager->deleteLater();
    };
    QObject::connect(reply, &QNetworkReply::readyRead, manager, [reply, done] {
        if (reply->bytesAvailable() >= MaxAnswerBytes && !reply->isFinished())
            done(QString(), QStringLiteral("回复过长"));
    });
    QObject::connect(guard, &QTimer::timeout, manager, [done] { done(QString(), QStringLiteral("请求超时")); });
    QObject::connect(reply, &QNetworkReply::finished, manager, [reply, done] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
            done(QString(), QStringLiteral("%1 %2").arg(reply->errorString()).arg(status));
            return;
        }
        const QString address = extractAddress(reply->readAll());
        done(address, address.isEmpty() ? QStringLiteral("回复中没有地址") : QString());
    });
    guard->start(timeoutMs);
}

} // namespace RemoteInfo
