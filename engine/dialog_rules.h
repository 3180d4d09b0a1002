#pragma once
// What a dialog's rules answer to its window, for every front end alike: the window's events
// come by the name of the handler the window would run ("cmdOK_Click", "HScroll1_Change"
// with the bar's new value, "cmdClose_KeyPress" with the key's character code), and the rules
// say what each control shows after them. So a front end shows any dialog from its
// description and these rules, knowing nothing of the one dialog.

#include <string_view>

namespace korvane {

class DialogRules {
  public:
    virtual ~DialogRules() = default;

    // The window's load, as it is shown (a sound, the read-outs it fills).
    virtual void Form_Load() = 0;
    // An event of the window; true when it closes the dialog. Events the rules do not know
    // change nothing.
    virtual bool Handle(std::string_view handler, int value) = 0;
    // A scroll bar's value, as the rules leave it (its range is the window's design).
    virtual int ValueOf(std::string_view /*control*/) const { return 0; }
    // Whether a control takes the player's clicks.
    virtual bool IsEnabled(std::string_view /*control*/) const { return true; }
    // The dialog has closed.
    virtual void Form_Unload() = 0;
};

}  // namespace korvane
