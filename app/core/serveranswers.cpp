#include "app/core/serveranswers.h"

ServerAnswers* ServerAnswers::instance()
{
    static ServerAnswers answers;
    return &answers;
}

void ServerAnswers::notify()
{
    emit instance()->answered();
}
