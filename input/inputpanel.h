#ifndef TAVREL_INPUT_INPUTPANEL_H
#define TAVREL_INPUT_INPUTPANEL_H

// What the main window and the start-up do with the input-method panel.
namespace InputPanel {

// Builds the panel once, sets its placement, scheme name and font size, and hides it. With
// `inUse` it is taken into use: it attaches to the typing pane at once when that has the focus,
// from then on whenever it gains the focus, and the panel, not the keyboard source, counts
// selection keys.
void open(bool inUse);

} // namespace InputPanel

#endif
