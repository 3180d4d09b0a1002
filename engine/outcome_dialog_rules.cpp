#include "outcome_dialog_rules.h"

#include <string>

#include "game.h"

namespace korvane {

namespace {
// Each outcome's dialog: its name and the sound it plays as it opens.
struct OutcomeFacts {
    const char* name;
    int sound;
};
constexpr OutcomeFacts kOutcomes[] = {
    {"frmVessikWin", kSoundHint4},       {"frmShipBoom", kSoundExplosion},
    {"frmVessikZap", kSoundSuperWeapon}, {"frmAntiZap", kSoundExplosion},
    {"frmUWin", kSoundVictory},
};
}  // namespace

const char* OutcomeName(OutcomeKind kind) {
    return kOutcomes[static_cast<int>(kind)].name;
}

int OutcomeSound(OutcomeKind kind) {
    return kOutcomes[static_cast<int>(kind)].sound;
}

void OutcomeDialog::Form_Load() {
    GameState& s = game_.state();
    if (s.soundon) game_.PlaySoundResource(OutcomeSound(kind_), kSoundPlaysOn);
    allowclose_ = true;
    if (kind_ == OutcomeKind::frmUWin) {
        // The boxes show the score needed to win: one more than the win score.
        game_.shell().SetText(Readout::txtCurrentScore, std::to_string(s.winscore + 1));
        s.nextwinscore = s.winscore;
        game_.shell().SetText(Readout::txtNextscore, std::to_string(s.nextwinscore + 1));
    }
}

void OutcomeDialog::cmdClose_KeyPress(int keyAscii) {
    if (keyAscii == 32) allowclose_ = false;
}

bool OutcomeDialog::cmdClose_Click() {
    if (allowclose_) closed_ = true;
    allowclose_ = true;
    return closed_;
}

void OutcomeDialog::cmdChangeWinscore_Click() {
    if (!changeWinscoreEnabled_) return;
    GameState& s = game_.state();
    s.nextwinscore = s.winscore + 100;
    game_.shell().SetText(Readout::txtNextscore, std::to_string(s.nextwinscore + 1));
    changeWinscoreEnabled_ = false;
    game_.shell().PlayerChose(Choice::Harder);
}

bool OutcomeDialog::Handle(std::string_view handler, int value) {
    if (handler == "cmdClose_KeyPress") cmdClose_KeyPress(value);
    if (handler == "cmdChangeWinscore_Click") cmdChangeWinscore_Click();
    return handler == "cmdClose_Click" && cmdClose_Click();
}

bool OutcomeDialog::IsEnabled(std::string_view control) const {
    return control != "cmdChangeWinscore" || changeWinscoreEnabled_;
}

void OutcomeDialog::Form_Unload() {
    if (kind_ == OutcomeKind::frmUWin) game_.shell().PlayerChose(Choice::VictoryClosed);
}

}  // namespace korvane
