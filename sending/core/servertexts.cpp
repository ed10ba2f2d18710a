#include "sending/core/servertexts.h"

#include "app/core/myhelper.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>

QStringList serverTextNames()
{
    QStringList names;
    QSqlQuery query;
    if (!myHelper::run(query, QStringLiteral("select a_name from kelm_text"))) {
        if (query.lastError().isValid())
            qDebug() << "查询跟打文本：" << query.lastError().text();
        return names;
    }
    while (query.next())
        names << query.value(0).toString();
    return names;
}

QString serverText(const QString& name)
{
    return myHelper::getOne(QStringLiteral("select a_content from kelm_text where a_name=?"), {name});
}

RecordHolder recordHolder(const QString& name, int length)
{
    RecordHolder holder;
    QSqlQuery query;
    const QString sql =
        QStringLiteral("select r_username,u_title,r_sd from kelm_rank join kelm_user  where r_text=? and "
                       "r_zs=? and r_username=u_truename order by r_sd desc limit 1");
    if (!myHelper::run(query, sql, {name, length})) {
        if (query.lastError().isValid())
            qDebug() << "发文" << query.lastError().text();
        return holder;
    }
    holder.queried = true;
    if (query.next()) {
        holder.notice = QStringLiteral("该文本速度保持者为：【%1】%2 速度为：%3")
                            .arg(query.value(1).toString(), query.value(0).toString(), query.value(2).toString());
    }
    return holder;
}

UploadOutcome uploadText(const UploadRequest& request)
{
    UploadOutcome outcome;
    if (!request.online) {
        outcome.message = QStringLiteral("网络连接失败！");
        return outcome;
    }
    if (request.userName.isEmpty()) {
        outcome.message = QStringLiteral("上传文本需要登录帐号！");
        return outcome;
    }
    // A failed look-up counts as a free name, as the insert will tell whether the server works.
    if (!myHelper::getOne(QStringLiteral("select a_name from kelm_text where a_name=?"), {request.name}).isEmpty()) {
        outcome.message = QStringLiteral("文本名已存在！");
        return outcome;
    }
    if (request.text.isEmpty()) {
        outcome.message = QStringLiteral("上传文本不能为空！");
        return outcome;
    }
    const bool inserted = myHelper::exec(QStringLiteral("insert into kelm_text values(Null,?,?,?,?,?,?,0)"),
                                         {request.name, request.text, QString::number(request.now), request.appTitle,
                                          myHelper::boundText(request.publicIp), request.userName});
    outcome.uploaded = inserted;
    outcome.message = inserted ? QStringLiteral("上传成功！") : QStringLiteral("上传失败！");
    return outcome;
}
