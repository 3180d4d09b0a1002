#pragma once
// The settings dialog's own rules (frmStart): the star count chosen before every game.
// Each front end (the desktop's window, the browser page, korvane-sim's stand-in) calls
// these handlers and shows what they leave in scrollValue and the Text1 read-out.

#include <cstdint>

#include "dialog_rules.h"

namespace korvane {

class Game;

class SettingsDialog : public DialogRules {
  public:
    explicit SettingsDialog(Game& game) : game_(game) {}

    // Load: Text1 and the scroll bar take numberofstars.
    void Form_Load() override;
    // The bar moved (HScroll1_Change), restore default (Command1_Click), OK (cmdOK_Click).
    bool Handle(std::string_view handler, int value) override;
    int ValueOf(std::string_view control) const override;
    // The player (or the program) moves the scroll bar to value: runs the change handler
    // when the value differs from the bar's present one.
    void SetScrollValue(int16_t value);
    // Restore default.
    void Command1_Click();
    // The dialog has closed (by OK or its close box).
    void Form_Unload() override;

    int16_t scrollValue() const { return scrollValue_; }

  private:
    void HScroll1_Change();

    Game& game_;
    int16_t scrollValue_ = 0;  // a freshly loaded bar stands at 0
};

}  // namespace korvane
