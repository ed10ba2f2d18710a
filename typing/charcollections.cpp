#include "typing/charcollections.h"

#include "app/core/app.h"
#include "typing/core/sourcenames.h"

#include <QDebug>

namespace {

void loadCollection(const QString& file, QString& collection)
{
    bool ok = false;
    const QString text = App::readTextFile(file, &ok);
    if (ok)
        collection = text;
}

void saveCollection(const QString& name, const QString& file, const QString& collection, QString& loaded)
{
    if (collection == loaded)
        return;
    if (App::writeFile(file, collection))
        loaded = collection;
    else
        qWarning().noquote() << name + QStringLiteral("：写入失败");
}

} // namespace

void CharCollections::load()
{
    loadCollection(WrongCollectionFile, App::WrongChars);
    loadCollection(SlowCollectionFile, App::SlowChars);
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
    saveCollection(WrongPracticeTitle, WrongCollectionFile, App::WrongChars, m_loadedWrongChars);
    saveCollection(SlowPracticeTitle, SlowCollectionFile, App::SlowChars, m_loadedSlowChars);
}
