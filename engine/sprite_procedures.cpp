// The seven sprite procedures, the phaser beam and the shield ellipse.

#include "game.h"

namespace korvane {

void Game::DrawHalcyra() {
    surface_.BitBlt(sprites_.picHalcyra, state_.x, state_.y);
}
void Game::EraseHalcyra() {
    surface_.BitBlt(sprites_.picHalcyraerase, state_.x, state_.y);
}

// A torpedo's position is the centre of its 3 x 3 sprite.
void Game::DrawTorpedoX(int px, int py) {
    surface_.BitBlt(sprites_.pictorpedox, px - 1, py - 1);
}
void Game::DrawTorpedoPlus(int px, int py) {
    surface_.BitBlt(sprites_.pictorpedoplus, px - 1, py - 1);
}
void Game::EraseTorpedo(int px, int py) {
    surface_.BitBlt(sprites_.pictorpedoerase, px - 1, py - 1);
}

// The crosshairs' position is the centre of their 9 x 9 sprite.
void Game::DrawCrosshairs() {
    surface_.BitBlt(sprites_.piccrosshairs, state_.crossx - 4, state_.crossy - 4);
}
void Game::EraseCrosshairs() {
    surface_.BitBlt(sprites_.piccrosshairserase, state_.crossx - 4, state_.crossy - 4);
}

void Game::DrawPhaserBeam() {
    surface_.Line(state_.beamx1, state_.beamy1, state_.beamx2, state_.beamy2, kCyan);
}
void Game::ErasePhaserBeam() {
    surface_.Line(state_.beamx1, state_.beamy1, state_.beamx2, state_.beamy2, kBlack);
}

void Game::DrawShieldEllipse() {
    surface_.Ellipse(state_.x - 9, state_.y - 4, state_.x + 22, state_.y + 27);
}

TorpedoSlot Game::Slot(int n) {
    GameState& s = state_;
    switch (n) {
        case 1:
            return {s.photon1x, s.photon1y, s.photonfire1, s.detonated1,
                    s.blast1on, s.blast1x,  s.blast1y,     s.blast1frames};
        case 2:
            return {s.photon2x, s.photon2y, s.photonfire2, s.detonated2,
                    s.blast2on, s.blast2x,  s.blast2y,     s.blast2frames};
        default:
            return {s.photon3x, s.photon3y, s.photonfire3, s.detonated3,
                    s.blast3on, s.blast3x,  s.blast3y,     s.blast3frames};
    }
}

}  // namespace korvane
