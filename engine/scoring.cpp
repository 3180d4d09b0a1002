// The game clock, the high score, the win test and the victory sequence.

#include <string>

#include "game.h"

namespace korvane {

void Game::GameClock() {
    GameState& s = state_;
    ++s.clockframes;
    if (s.clockframes == 500) {
        ++s.gametime;
        s.clockframes = 0;
        ShowText(Readout::txtGameTime, std::to_string(s.gametime));
    }
}

void Game::UpdateHighScore() {
    GameState& s = state_;
    if (s.score > s.highscore) {
        s.highscore = static_cast<int16_t>(s.score);
        ShowText(Readout::txtHighscore, std::to_string(s.highscore));
        shell_.RefreshReadout(Readout::txtHighscore);
    }
}

void Game::ShowFinalScore() {
    shell_.RefreshReadout(Readout::txtScore);
    UpdateHighScore();
}

Task Game::WinTest() {
    // Not gated on gamerunning: a torpedo that wins while destroying the ship gives the
    // defeat and then the victory in the same frame.
    if (state_.score > state_.winscore) co_await WinGame();
}

Task Game::WinGame() {
    GameState& s = state_;
    ShowFinalScore();
    surface_.FillStyle(kFillSolid);
    const int cx = s.cubex + 50, cy = s.cubey + 50;
    // Three rings, each held on screen while its explosion sound plays to the end.
    auto ring = [&](Color c, int radius) {
        surface_.FillColor(c);
        surface_.Circle(cx, cy, radius, c);
    };
    const Color rings[3] = {kRed, kYellow, kRed};
    for (int r = 0; r < 3; ++r) {
        ring(rings[r], 70 + 10 * r);
        if (!s.soundon) continue;
        co_await shell_.HoldScreen(Hold::Picture);
        PlaySoundResource(kSoundExplosion, kSoundWaitsForEnd);
        co_await shell_.HoldScreen(Hold::Sound);
    }
    ring(kBlack, 90);
    surface_.BitBlt(sprites_.picVessikship3, s.cubex, s.cubey);
    DrawHalcyra();
    surface_.FillStyle(kFillTransparent);
    if (s.shieldsOn) {
        surface_.SelectObject(s.bluepen);
        DrawShieldEllipse();
    }
    DrawHalcyra();
    co_await ShowOutcome(OutcomeKind::frmUWin);
    s.winscore = s.nextwinscore;
}

}  // namespace korvane
