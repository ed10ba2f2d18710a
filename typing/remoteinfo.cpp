#include "typing/remoteinfo.h"

#include "app/core/app.h"
#include "app/core/myhelper.h"

#include <QDebug>
#include <QEventLoop>
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

void fetchPublicAddress(int timeoutMs)
{
    App::PublicIp.clear();
    QString base = App::WebUrl;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (base.isEmpty())
        return;

    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(base + QStringLiteral("/ip/visitoriphost/")));
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = manager.get(request);
    // A server streaming without end must not fill the memory: the reply holds at most this much.
    reply->setReadBufferSize(MaxAnswerBytes);

    // The reply is awaited in a local loop so the clock and other slots keep running; the guard
    // timer is the whole request's deadline, which a trickling server never resets.
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    bool tooLong = false;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (reply->bytesAvailable() >= MaxAnswerBytes && !reply->isFinished()) {
            tooLong = true;
            loop.quit();
        }
    });
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec();

    if (tooLong) {
        reply->abort();
        qDebug() << "公网地址：回复过长";
        return;
    }
    if (!reply->isFinished()) {
        reply->abort();
        qDebug() << "公网地址：请求超时";
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
        qDebug() << "公网地址：" << reply->errorString() << status;
        return;
    }
    App::PublicIp = extractAddress(reply->readAll());
    if (App::PublicIp.isEmpty())
        qDebug() << "公网地址：回复中没有地址";
}

} // namespace RemoteInfo
