// The start/stop command: a game lives entirely inside its handler, whose frame loop yields
// once per frame; a second click handled in that yield stops the game.

#include <string>

#include "game.h"
#include "settings_dialog_rules.h"

namespace korvane {

void Game::cmdStart_Click() {
    const ScreenSize screen = shell_.ScreenSizeInPixels();
    state_.screenwidth = screen.width;
    state_.screenheight = screen.height;
    state_.screenres = std::to_string(screen.width) + "x" + std::to_string(screen.height);
    if (screen.width < kMinScreenWidth || screen.height < kMinScreenHeight) {
        shell_.ShowMessageBox(
            "Sorry, this game was designed to run in at least 800x600 or better screen "
            "resolution.  You are running " +
            state_.screenres +
            ". Change your screen resolution by right-clicking on the Desktop, choose "
            "Properties, Settings.");
        return;
    }
    if (state_.gamerunning) {
        RunStopBranch();
    } else {
        RunStartBranch();
    }
}

void Game::RunStopBranch() {
    PlaySoundIfOn(kSoundGameStopped);
    ShowFinalScore();
    StopPlay();
    Teardown();
}

void Game::ResetMainWindow() {
    state_.notrealunload = true;
    Form_QueryUnload(UnloadReason::ByProgram);
    state_.notrealunload = false;
    shell_.ResetMainWindow();
    surface_.Clear();
    Form_Load();
}

void Game::RunStartBranch() {
    GameState& s = state_;
    s.gamerunning = true;
    {
        SettingsDialog dialog(*this);
        shell_.ShowSettingsDialog(dialog);
        dialog.Form_Unload();
    }
    ResetMainWindow();
    ShowText(Readout::txtHighscore, std::to_string(s.highscore));
    shell_.ShowMainWindow();
    PlaySoundIfOn(kSoundGameStart);
    shell_.SetPlayControlsEnabled(true);

    s.phaserfiring = false;
    s.beamframes = 0;
    s.photonfire1 = s.photonfire2 = s.photonfire3 = false;
    s.shieldsOn = false;
    s.antimatter = false;
    s.detonated1 = s.detonated2 = s.detonated3 = true;
    s.blast1on = s.blast2on = s.blast3on = false;
    s.blast1frames = s.blast2frames = s.blast3frames = 0;

    // Random draws in a fixed order: the stars (x then y), the two chances, the cube.
    random_.Seed(shell_.ClockSeed());
    for (s.starindex = 0; s.starindex <= s.numberofstars; ++s.starindex) {
        s.starx[s.starindex] = static_cast<int16_t>(random_.Rand(Surface::kWidth));
        s.stary[s.starindex] = static_cast<int16_t>(random_.Rand(Surface::kHeight));
        s.starcolor[s.starindex] = static_cast<int32_t>(QBColor(14));
    }
    s.supervessik = false;
    s.vessikshootsshields = false;
    s.shieldsdestroyed = false;
    s.chance = random_.Rand(100) + 1;
    if (s.chance < 51) s.vessikshootsshields = true;
    s.chance = random_.Rand(100) + 1;
    if (s.chance == 1) s.supervessik = true;
    if (s.numberofstars == 142) s.supervessik = true;

    s.x = 320;
    s.y = 455;
    s.crossxdelta = 0;
    s.crossydelta = 0;
    s.deltax = 0;
    s.crossx = 326;
    s.crossy = 240;
    s.phaserrecharging = false;
    s.cubex = random_.Rand(792) - 150;
    s.cubey = -150;
    s.targetx = kNoTarget;
    s.targety = kNoTarget;
    s.score = 0;
    s.cubeanger = 0;
    s.modesteps = 0;
    s.holdsteps = 0;
    s.retreatsteps = 0;
    ShowScore();
    s.gametime = 0;
    ShowText(Readout::txtGameTime, std::to_string(s.gametime));
    for (int slot = 1; slot <= 3; ++slot) shell_.SetTorpedoIndicator(slot, true);

    RunFrameLoop();
    Teardown();
}

void Game::RunFrameLoop() {
    while (state_.gamerunning) {
        surface_.Charge(cost::kYield);
        shell_.DoEvents();
        RunFramePhases();
    }
}

void Game::RunFramePhases() {
    MinimisedWindowStop();
    PhaserBeamLifetime();
    ExplosionMarkers();
    PhaserRecharge();
    FlipOddTurn();
    StarField();
    GameClock();
    CubePhase();
    Absorption();
    AntimatterLaunch();
    AntimatterGlobe();
    CrosshairPhase();
    ShotAtShields();
    SuperEnergyWeapon();
    MoveTorpedo(1);
    MoveTorpedo(2);
    MoveTorpedo(3);
    ShipRepaint();
    ShipMove();
    WinTest();
}

void Game::MinimisedWindowStop() {
    if (!shell_.IsMainWindowMinimised()) return;
    ShowFinalScore();
    StopPlay();
}

void Game::FlipOddTurn() {
    state_.oddturn = !state_.oddturn;
}

void Game::Teardown() {
    surface_.Clear();
    shell_.ViewscreenCleared();
    surface_.SetPixelV(0, 0, kYellow);
    surface_.SetPixelV(Surface::kWidth - 1, 0, kYellow);
    surface_.SetPixelV(0, Surface::kHeight - 1, kYellow);
    surface_.SetPixelV(Surface::kWidth - 1, Surface::kHeight - 1, kYellow);
    shell_.FocusViewscreen();
}

void Game::ShowOutcome(OutcomeKind kind) {
    shell_.PresentViewscreen();
    OutcomeDialog dialog(*this, kind);
    shell_.ShowOutcomeDialog(dialog);
    dialog.Form_Unload();
    StopPlay();
}

void Game::StopPlay() {
    state_.gamerunning = false;
    shell_.SetPlayControlsEnabled(false);
}

}  // namespace korvane
