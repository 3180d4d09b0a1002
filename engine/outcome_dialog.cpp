#include "outcome_dialog.h"

#include <string>

#include "game.h"

namespace korvane {

namespace {
// Each outcome's dialog: its name, its message and the sound it plays as it opens.
struct OutcomeFacts {
    const char* name;
    const char* message;
    int sound;
};
constexpr OutcomeFacts kOutcomes[] = {
    {"frmVessikWin", "You have been absorbed by the Vessik.", kSoundHint4},
    {"frmShipBoom",
     "You have been destroyed by your own photon torpedo detonating too closely to your ship. ",
     kSoundExplosion},
    {"frmVessikZap", "You have been destroyed by a Vessik super energy weapon.", kSoundSuperWeapon},
    {"frmAntiZap", "You have been destroyed by a Vessik antimatter globe.", kSoundExplosion},
    {"frmUWin",
     "Congratulations, you have defeated the Vessik.  But for how long?  FOR... HOW... LONG?!",
     kSoundVictory},
};
const OutcomeFacts& FactsOf(OutcomeKind kind) {
    return kOutcomes[static_cast<int>(kind)];
}
}  // namespace

const char* OutcomeName(OutcomeKind kind) {
    return FactsOf(kind).name;
}

const char* OutcomeMessage(OutcomeKind kind) {
    return FactsOf(kind).message;
}

int OutcomeSound(OutcomeKind kind) {
    return FactsOf(kind).sound;
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
}

}  // namespace korvane
