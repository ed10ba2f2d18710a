#include "account/core/inputmethodsync.h"

#include "app/core/myhelper.h"

bool sendInputMethod(const InputMethodUpdate& update)
{
    if (!update.showInResult || !update.online)
        return false;
    // Bound, so a quote in the name is stored as a character and never reaches the statement.
    return myHelper::exec(QStringLiteral("update kelm_user set u_srf=? where u_truename=?"),
                          {update.name, update.user});
}
