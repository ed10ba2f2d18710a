#include "typing/core/sourcenames.h"

const QString ClipboardTitle = QStringLiteral("剪切板");
const QString WrongPracticeTitle = QStringLiteral("错字收集");
const QString SlowPracticeTitle = QStringLiteral("慢字收集");
const QString WrongCollectionFile = QStringLiteral("错字收集.txt");
const QString SlowCollectionFile = QStringLiteral("慢字收集.txt");

QStringList fixedSourceTitles()
{
    return {ClipboardTitle, WrongPracticeTitle, SlowPracticeTitle};
}
