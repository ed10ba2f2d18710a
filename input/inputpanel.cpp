#include "input/inputpanel.h"

#include "app/core/app.h"
#include "input/frminput.h"

namespace InputPanel {

void open(bool inUse)
{
    frmInput* panel = frmInput::Instance();
    panel->positionMode = QStringLiteral("control");
    panel->styleName = QStringLiteral("black");
    panel->fontSize = 10;
    panel->applyStyle();
    panel->hide();
    if (inUse) {
        App::CountSelectKeys = false;
        panel->takeFocusedPane();
    }
}

} // namespace InputPanel
