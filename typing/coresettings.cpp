#include "typing/coresettings.h"

#include "app/core/app.h"
#include "typing/core/keycount.h"

namespace CoreSettings {

PageLayout pageLayout()
{
    return PageLayout(App::Fanye, App::Yulanq, App::Yulanh);
}

QString cleanPassage(const QString& text)
{
    return ::cleanPassage(text, App::Quchu, App::Tihuan);
}

KeyCounters keyCounters()
{
    KeyCounters k;
    k.keyCount = App::KeyCount;
    k.selectCount = App::SelectCount;
    k.enterCount = App::EnterCount;
    k.backCount = App::BackCount;
    k.correctCount = App::CorrectCount;
    k.leftKeys = App::LeftKeys;
    k.rightKeys = App::RightKeys;
    return k;
}

ColumnSwitches columnSwitches()
{
    ColumnSwitches s;
    s.shown = {App::Sudu,     App::Jijian, App::Machang, App::Zishu,   App::Shijian,
               App::Huigai,   App::Tuige,  App::Huiche,  App::Jianshu, App::Xuanchong,
               App::Jianzhun, App::Jianfa, App::Chongda, App::Daci,    App::Cuozi};
    return s;
}

LineSettings lineSettings()
{
    LineSettings s;
    s.items = columnSwitches();
    s.shuRuFa2 = App::ShuRuFa2;
    s.shuRuFa = App::ShuRuFa;
    s.qianMing2 = App::QianMing2;
    s.qianMing = App::QianMing;
    s.pattern = App::Pattern;
    s.appTitle = App::AppTitle;
    return s;
}

RecordStore recordStore()
{
    RecordStore s;
    s.todayChars = &App::TempJilu;
    s.totalChars = &App::Jilu;
    s.runSeconds = &App::Totalti;
    s.runKeys = &App::Totaljs;
    s.runChars = &App::Totalco;
    s.firstDay = &App::Day;
    s.countedDay = &App::Day2;
    s.save = [] { App::writeStats(); };
    return s;
}

void countKeyWord(quint16 word)
{
    HookCounters c;
    countHookWord(word, App::KongGe, App::CountSelectKeys, c);
    App::SelectCount += c.selectCount;
    App::KeyCount += c.keyCount;
    App::EnterCount += c.enterCount;
    App::BackCount += c.backCount;
    App::LeftKeys += c.leftKeys;
    App::RightKeys += c.rightKeys;
}

} // namespace CoreSettings
