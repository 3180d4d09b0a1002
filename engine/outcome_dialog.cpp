#include "outcome_dialog.h"

#include <string>

#include "game.h"

namespace korvane {

const char* OutcomeName(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::frmVessikWin:
            return "frmVessikWin";
        case OutcomeKind::frmShipBoom:
            return "frmShipBoom";
        case OutcomeKind::frmVessikZap:
            return "frmVessikZap";
        case OutcomeKind::frmAntiZap:
            return "frmAntiZap";
        case OutcomeKind::frmUWin:
            return "frmUWin";
    }
    return "";
}

const char* OutcomeMessage(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::frmVessikWin:
            return "You have been absorbed by the Vessik.";
        case OutcomeKind::frmShipBoom:
            return "You have been destroyed by your own photon torpedo detonating too closely to "
                   "your ship. ";
        case OutcomeKind::frmVessikZap:
            return "You have been destroyed by a Vessik super energy weapon.";
        case OutcomeKind::frmAntiZap:
            return "You have been destroyed by a Vessik antimatter globe.";
        case OutcomeKind::frmUWin:
            return "Congratulations, you have defeated the Vessik.  But for how long?  FOR... "
                   "HOW... LONG?!";
    }
    return "";
}

int OutcomeSound(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::frmVessikWin:
            return kSoundHint4;
        case OutcomeKind::frmShipBoom:
            return kSoundExplosion;
        case OutcomeKind::frmVessikZap:
            return kSoundSuperWeapon;
        case OutcomeKind::frmAntiZap:
            return kSoundExplosion;
        case OutcomeKind::frmUWin:
            return kSoundVictory;
    }
    return 0;
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
