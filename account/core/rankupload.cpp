#include "account/core/rankupload.h"

#include "app/core/myhelper.h"
#include "typing/core/sourcenames.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QtDebug>

namespace {

const char* const kConditionsText = "上传成绩条件：1.跟打发文中系统文本并全文发文 2.跟打成绩无错情";

// The result cells that a ranking entry takes, in column order after the speed.
enum Cell {
    KeyRate = 1,
    CodeLength,
    Chars,
    Time,
    Corrections,
    Enters = 7,
    Keys,
    KeyAccuracy = 10,
    Retypes = 12,
    WordRatio,
    Wrong
};

RankUpload::Notice notice(const char* text, int ms = 1000)
{
    return {QString::fromUtf8(text), ms};
}

QVariant number(const QString& text)
{
    return text.toDouble();
}

QVariant count(const QString& text)
{
    return text.toInt();
}

// A null text would be bound as NULL; the entry keeps an empty text instead (no public address).
QVariant text(const QString& value)
{
    return myHelper::boundText(value);
}

// The ranking entry itself, once the conditions hold.
RankUpload::Notice typingOver(const RankUpload::Run& run, const RankUpload::Context& context, bool manual)
{
    if (!context.online)
        return {};
    // An entry the server did not take is news only to a user who asked for the upload.
    const RankUpload::Notice failed = manual ? notice("成绩上传失败！", 3000) : RankUpload::Notice{};
    QSqlQuery uses;
    const bool counted =
        myHelper::run(uses, QStringLiteral("select a_gdnum from kelm_text where a_name=?"), {run.title});
    if (!context.canUpload)
        return notice("跟打本地文本不能上传成绩！");
    // A count that could not be read is not written over: it would start again from one.
    if (!counted)
        return failed;
    const int count = uses.next() ? uses.value(0).toInt() : 0;
    myHelper::exec(QStringLiteral("update kelm_text set a_gdnum=? where a_name=?"), {count + 1, run.title});

    QSqlQuery query;
    if (!myHelper::run(query, QStringLiteral("select r_id,r_sd from kelm_rank where r_text=? and r_username=?"),
                       {run.title, context.user})) {
        qDebug() << "主界面：" << query.lastError();
        return failed;
    }
    qint64 id = 0;
    QString old;
    while (query.next()) {
        id = query.value(0).toLongLong();
        old = query.value(1).toString();
    }
    QVariantList values = RankUpload::entryValues(run, context);
    if (id == 0) {
        const bool ok = myHelper::exec(
            QStringLiteral("insert into kelm_rank values(NULL,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"), values);
        return notice(ok ? "成绩上传成功！" : "成绩上传失败！", 3000);
    }
    if (run.speedText.toDouble() <= old.toDouble())
        return notice("不要灰心，继续加油！", 3000);
    values << id;
    const bool ok = myHelper::exec(QStringLiteral("update kelm_rank set r_text=?,r_username=?,r_sd=?,r_jj=?,r_mc=?,"
                                                  "r_zs=?,r_sj=?,r_hg=?,r_hc=?,r_js=?,r_jz=?,r_cd=?,r_dc=?,r_cz=?,"
                                                  "r_time=?,r_from=?,r_ip=? where r_id=?"),
                                   values);
    return notice(ok ? "恭喜您，成绩更进一步！" : "更新排行榜失败！", 3000);
}

} // namespace

namespace RankUpload {

Notice upload(const Run& run, const Context& context, bool manual)
{
    if (!manual)
        return run.wholeText && context.takePart ? tryUpload(run, context, false) : notice("跟打结束", -1);
    if (!run.wholeText)
        return notice(kConditionsText);
    if (!context.takePart)
        return notice("上传成绩需要开启参与排名功能，请在高级设置中开启！在功能选项中重新手动上传！");
    return tryUpload(run, context, true);
}

Notice tryUpload(const Run& run, const Context& context, bool manual)
{
    if (!context.signedIn)
        return notice("上传成绩需要登录帐号！");
    static const QStringList excluded = fixedSourceTitles();
    const bool othersRun = !run.typedBy.isEmpty() && run.typedBy != context.user;
    if (run.speedText.isEmpty() || run.wrongCount != 0 || excluded.contains(run.title) || othersRun)
        return manual ? notice(kConditionsText) : notice("跟打结束", -1);
    if (!run.finished)
        return notice("跟打结束后才能上传成绩！");
    return typingOver(run, context, manual);
}

QVariantList entryValues(const Run& run, const Context& context)
{
    const auto cell = [&run](int column) { return run.cells.value(column); };
    return {text(run.title),       text(context.user),       number(run.speedText),
            number(cell(KeyRate)), number(cell(CodeLength)), count(cell(Chars)),
            text(cell(Time)),      count(cell(Corrections)), count(cell(Enters)),
            count(cell(Keys)),     text(cell(KeyAccuracy)),  count(cell(Retypes)),
            text(cell(WordRatio)), count(cell(Wrong)),       context.now,
            text(context.from),    text(context.ip)};
}

} // namespace RankUpload
