// Photon torpedoes: three slots, straight up one row a frame, detonating on the cube's
// greys; a slot stays busy until its torpedo, exploded or not, has counted past the top.

#include "game.h"

namespace korvane {

namespace {
constexpr int kSlotEndRow = -2;
constexpr int kBlastRadius = 10;
constexpr int kOwnShipFlashRadius = 30;
}  // namespace

void Game::LaunchTorpedo() {
    GameState& s = state_;
    for (int n = 1; n <= 3; ++n) {
        TorpedoSlot t = Slot(n);
        if (t.photonfire) continue;
        PlaySoundIfOn(kSoundTorpedoLaunch);
        t.photonx = static_cast<int16_t>(s.x + 6);
        t.photony = static_cast<int16_t>(s.y - 7);
        t.photonfire = true;
        t.detonated = false;
        shell_.SetTorpedoIndicator(n, false);
        return;
    }
}

Task Game::MoveTorpedo(int n) {
    GameState& s = state_;
    TorpedoSlot t = Slot(n);
    if (!t.photonfire) co_return;

    if (t.detonated) {
        // Exploded: only counting its way up until the slot is free again.
        --t.photony;
        if (t.photony == kSlotEndRow) {
            t.photonfire = false;
            t.detonated = true;
            shell_.SetTorpedoIndicator(n, true);
        }
        co_return;
    }

    EraseTorpedo(t.photonx, t.photony);
    --t.photony;
    bool justDetonated = false;
    s.zz = static_cast<int32_t>(surface_.GetPixel(t.photonx, t.photony - 1));
    if (s.zz == static_cast<int32_t>(kGrey) || s.zz == static_cast<int32_t>(kLightGrey)) {
        t.detonated = true;
        justDetonated = true;
    }
    if (s.oddturn) {
        DrawTorpedoPlus(t.photonx, t.photony);
    } else {
        DrawTorpedoX(t.photonx, t.photony);
    }
    if (justDetonated) {
        PlaySoundIfOn(kSoundExplosion);
        surface_.FillStyle(kFillSolid);
        surface_.FillColor(kRed);
        surface_.Circle(t.photonx, t.photony, kBlastRadius, kRed);
        t.blastx = t.photonx;
        t.blasty = t.photony;
        t.blaston = true;
        s.score += 5;
        s.cubeanger = static_cast<int16_t>(s.cubeanger + 5);
        ShowScore();
        if (t.photony + 10 > s.y) co_await OwnTorpedoDefeat();
    }
    if (t.photony == kSlotEndRow) {
        t.photonfire = false;
        shell_.SetTorpedoIndicator(n, true);
    }
}

void Game::ExplosionMarkers() {
    for (int n = 1; n <= 3; ++n) {
        TorpedoSlot t = Slot(n);
        if (!t.blaston) continue;
        ++t.blastframes;
        surface_.FillStyle(kFillSolid);
        surface_.FillColor(kRed);
        surface_.Circle(t.blastx, t.blasty, kBlastRadius, kRed);
        surface_.FillStyle(kFillTransparent);
        if (t.blastframes == 5) {
            surface_.FillStyle(kFillSolid);
            surface_.FillColor(kBlack);
            surface_.Circle(t.blastx, t.blasty, kBlastRadius, kBlack);
            surface_.FillStyle(kFillTransparent);
            t.blaston = false;
            t.blastframes = 0;
        }
    }
}

Task Game::OwnTorpedoDefeat() {
    GameState& s = state_;
    PlaySoundIfOn(kSoundExplosion);
    surface_.FillStyle(kFillSolid);
    surface_.FillColor(kRed);
    const int cx = s.x + 6, cy = s.y + 11;  // the middle of the ship
    // The same disc again and again: the flash lasts longer the more stars there are.
    for (s.flashindex = 1; s.flashindex <= 3 * s.numberofstars; ++s.flashindex) {
        surface_.Circle(cx, cy, kOwnShipFlashRadius, kRed);
    }
    co_await shell_.HoldScreen(Hold::Picture);
    ShowFinalScore();
    co_await ShowOutcome(OutcomeKind::frmShipBoom);
    surface_.FillColor(kBlack);
    surface_.Circle(cx, cy, kOwnShipFlashRadius, kBlack);
    surface_.FillStyle(kFillTransparent);
}

}  // namespace korvane
