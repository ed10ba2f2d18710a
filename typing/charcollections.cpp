#include "typing/charcollections.h"

#include "app/core/app.h"

#include <QDebug>

namespace {

const QString kWrongName = QStringLiteral("错字收集");
const QString kSlowName = QStringLiteral("慢字收集");

void loadCollection(const QString& name, QString& collection)
{
    bool ok = false;
    const QString text = App::readTextFile(name + QStringLiteral(".txt"), &ok);
    if (ok)
        collection = text;
}

void saveCollection(const QString& name, const QString& collection, QString& loaded)
{
    if (collection == loaded)
        return;
    if (App::writeFile(name + QStringLiteral(".txt"), collection))
        loaded = collection;
    else
        qWarning().noquote() << name + QStringLiteral("：写入失败");
}

} // namespace

void CharCollections::load()
{
    loadCollection(kWrongName, App::WrongChars);
    loadCollection(kSlowName, App::SlowChars);
    m_loadedWrongChars = App::WrongChars;
    m_loadedSlowChars = App::SlowChars;
}

void CharCollections::scan(const PageComparison& page, const QString& lastInputText, const QString& textTitle)
{
    if (App::CuoZiSj)
        m_collector.scanWrong(App::WrongChars, page, textTitle);
    if (App::ManZiSj)
        m_collector.scanSlow(App::SlowChars, page, lastInputText, App::Limitmz, textTitle);
}

void CharCollections::save()
{
    saveCollection(kWrongName, App::WrongChars, m_loadedWrongChars);
    saveCollection(kSlowName, App::SlowChars, m_loadedSlowChars);
}
