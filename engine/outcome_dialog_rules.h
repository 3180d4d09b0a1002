#pragma once
// The rules of the five small dialogs that end a game: the sound each plays as it opens,
// the allowclose flag that keeps the space bar from closing them, and the victory dialog's
// offer to make the next game harder. Their windows are described in windows/.

#include <string>

#include "dialog_rules.h"

namespace korvane {

class Game;

enum class OutcomeKind { frmVessikWin, frmShipBoom, frmVessikZap, frmAntiZap, frmUWin };

const char* OutcomeName(OutcomeKind kind);
int OutcomeSound(OutcomeKind kind);

class OutcomeDialog : public DialogRules {
  public:
    OutcomeDialog(Game& game, OutcomeKind kind) : game_(game), kind_(kind) {}

    OutcomeKind kind() const { return kind_; }

    void Form_Load() override;
    // A key on OK (cmdClose_KeyPress), OK (cmdClose_Click), make it harder
    // (cmdChangeWinscore_Click).
    bool Handle(std::string_view handler, int value) override;
    bool IsEnabled(std::string_view control) const override;
    // A key press on the focused OK button; space (32) disarms the next click.
    void cmdClose_KeyPress(int keyAscii);
    // Returns true when this click closes the dialog.
    bool cmdClose_Click();
    // frmUWin only.
    void cmdChangeWinscore_Click();
    // The dialog has closed.
    void Form_Unload() override;

    bool closed() const { return closed_; }
    bool changeWinscoreEnabled() const { return changeWinscoreEnabled_; }

  private:
    Game& game_;
    OutcomeKind kind_;
    bool allowclose_ = false;
    bool closed_ = false;
    bool changeWinscoreEnabled_ = true;
};

}  // namespace korvane
