// The cube's attacks and the player's shields: absorption, the antimatter globe, the shot
// that knocks the shields out, and the super energy weapon.

#include "game.h"

namespace korvane {

namespace {
constexpr int kGlobeLaunchOdds = 2500;
constexpr int kGlobeGoneRow = 490;
constexpr int kFlashRadius = 30;
}  // namespace

void Game::ToggleShields() {
    GameState& s = state_;
    PlaySoundIfOn(kSoundShields);
    if (s.shieldsdestroyed) return;
    if (!s.shieldsOn) {
        s.shieldsOn = true;
        surface_.SelectObject(s.bluepen);
    } else {
        s.shieldsOn = false;
        surface_.SelectObject(s.blackpen);
    }
    DrawShieldEllipse();
}

Task Game::Absorption() {
    GameState& s = state_;
    // The cube's bottom row on the ship's top row, the ship's centre column strictly
    // inside the cube's columns. The shields do not matter.
    if (s.cubey == s.y - 100 && s.cubex < s.x + 7 && s.cubex + 100 > s.x + 7) {
        ShowFinalScore();
        co_await ShowOutcome(OutcomeKind::frmVessikWin);
    }
}

void Game::AntimatterLaunch() {
    GameState& s = state_;
    if (s.antimatter) return;
    s.chance = random_.Rand(kGlobeLaunchOdds) + 1;
    if (s.chance == 1 && s.cubey > -50 && s.cubey + 100 < s.y) {
        s.antimatter = true;
        s.globex = s.cubex + 50;
        s.globey = s.cubey + 110;
        PlaySoundIfOn(kSoundGlobeLaunch);
    }
}

Task Game::AntimatterGlobe() {
    GameState& s = state_;
    if (!s.antimatter) co_return;
    surface_.FillStyle(kFillSolid);
    if (!s.oddturn) {
        // The black rim at the old place clears what the globe leaves behind.
        surface_.Circle(s.globex, s.globey, 5, kBlack);
        s.chance = random_.Rand(2) + 1;
        if (s.chance == 1) {
            ++s.globey;
            if (s.x + 6 < s.globex) --s.globex;
            if (s.x + 6 > s.globex) ++s.globex;
        }
        if (s.globey == kGlobeGoneRow) s.antimatter = false;
        surface_.FillColor(kYellow);
        surface_.Circle(s.globex, s.globey, 2, kYellow);
    } else {
        surface_.Circle(s.globex, s.globey, 2, kBlack);
        surface_.FillColor(kGreen);
        surface_.Circle(s.globex, s.globey, 5, kGreen);
    }

    if (s.globex > s.x - 6 && s.globex < s.x + 19 && s.globey + 5 > s.y) {
        PlaySoundIfOn(kSoundExplosion);
        surface_.FillColor(kYellow);
        for (s.flashindex = 1; s.flashindex <= 3 * s.numberofstars; ++s.flashindex) {
            surface_.Circle(s.globex, s.globey, kFlashRadius, kYellow);
        }
        co_await shell_.HoldScreen(Hold::Picture);
        if (s.shieldsOn) {
            // The shields stop the globe and stay up.
            surface_.FillColor(kBlack);
            surface_.Circle(s.globex, s.globey, kFlashRadius, kBlack);
            DrawHalcyra();
            surface_.SelectObject(s.bluepen);
            DrawShieldEllipse();
            s.antimatter = false;
        } else {
            ShowFinalScore();
            co_await ShowOutcome(OutcomeKind::frmAntiZap);
        }
    }
    surface_.FillStyle(kFillTransparent);
    surface_.FillColor(kBlack);
}

Task Game::ShotAtShields() {
    GameState& s = state_;
    const bool atFiringHeight = s.cubey == 100 || s.cubey == 200 || s.cubey == 300;
    if (!atFiringHeight || !s.vessikshootsshields || s.cubestep != 13 || !s.shieldsOn) co_return;
    PlaySoundIfOn(kSoundShieldShot);
    const int tipx = s.x + 6, tipy = s.y - 3;  // just above the ship
    auto drawBeams = [&](Color c) {
        surface_.Line(s.cubex + 100, s.cubey + 100, tipx, tipy, c);
        surface_.Line(s.cubex, s.cubey + 100, tipx, tipy, c);
        surface_.Line(s.cubex + 50, s.cubey + 100, tipx, tipy, c);
    };
    for (s.flashindex = 1; s.flashindex <= 3 * s.numberofstars; ++s.flashindex) {
        drawBeams(kCyan);
    }
    co_await shell_.HoldScreen(Hold::Picture);
    drawBeams(kBlack);
    s.shieldsOn = false;
    surface_.SelectObject(s.blackpen);
    DrawShieldEllipse();
    s.vessikshootsshields = false;
    s.shieldsdestroyed = true;
}

Task Game::SuperEnergyWeapon() {
    GameState& s = state_;
    if (s.cubey != 140 || !s.supervessik) co_return;
    ShowFinalScore();
    PlaySoundIfOn(kSoundSuperWeapon);
    for (s.flashindex = 1; s.flashindex <= 3 * s.numberofstars; ++s.flashindex) {
        surface_.FillStyle(kFillSolid);
        surface_.FillColor(kGreen);
        surface_.Circle(s.cubex + 50, s.cubey + 105, 5, kGreen);
        surface_.Line(s.cubex + 50, s.cubey + 105, s.x + 6, s.y + 3, kGreen);
        surface_.Circle(s.x + 6, s.y + 15, 40, kGreen);
    }
    co_await shell_.HoldScreen(Hold::Picture);
    co_await ShowOutcome(OutcomeKind::frmVessikZap);
    surface_.FillColor(kBlack);
    surface_.FillStyle(kFillTransparent);
}

}  // namespace korvane
