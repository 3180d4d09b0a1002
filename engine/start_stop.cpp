// The start/stop command: a game lives entirely inside its handler, whose frame loop yields
// once per frame; a second click handled in that yield stops the game. The handler is a
// task: the front end steps it, and it waits at each yield and in each dialog.

#include <string>

#include "game.h"
#include "settings_dialog_rules.h"

namespace korvane {

Task Game::cmdStart_Click() {
    const ScreenSize screen = shell_.ScreenSizeInPixels();
    state_.screenwidth = screen.width;
    state_.screenheight = screen.height;
    state_.screenres = std::to_string(screen.width) + "x" + std::to_string(screen.height);
    if (screen.width < kMinScreenWidth || screen.height < kMinScreenHeight) {
        Dialog box = Dialog::Message(
            "Sorry, this game was designed to run in at least 800x600 or better screen "
            "resolution.  You are running " +
            state_.screenres +
            ". Change your screen resolution by right-clicking on the Desktop, choose "
            "Properties, Settings.");
        co_await shell_.ShowDialog(box);
        co_return;
    }
    if (state_.gamerunning) {
        RunStopBranch();
    } else {
        co_await RunStartBranch();
    }
}

void Game::RunStopBranch() {
    PlaySoundIfOn(kSoundGameStopped);
    ShowFinalScore();
    StopPlay();
    Teardown();
}

Task Game::ResetMainWindow() {
    state_.notrealunload = true;
    co_await Form_QueryUnload(UnloadReason::ByProgram);
    state_.notrealunload = false;
    shell_.ResetMainWindow();
    surface_.Clear();
    Form_Load();
}

Task Game::RunStartBranch() {
    GameState& s = state_;
    s.gamerunning = true;
    {
        SettingsDialog rules(*this);
        Dialog dialog("frmStart", &rules);
        co_await shell_.ShowDialog(dialog);
        rules.Form_Unload();
    }
    co_await ResetMainWindow();
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

    co_await RunFrameLoop();
    Teardown();
}

Task Game::RunFrameLoop() {
    while (state_.gamerunning) {
        surface_.Charge(cost::kYield);
        co_await shell_.DoEvents();
        co_await RunFramePhases();
    }
}

Task Game::RunFramePhases() {
    MinimisedWindowStop();
    PhaserBeamLifetime();
    ExplosionMarkers();
    PhaserRecharge();
    FlipOddTurn();
    StarField();
    GameClock();
    CubePhase();
    co_await Absorption();
    AntimatterLaunch();
    co_await AntimatterGlobe();
    CrosshairPhase();
    co_await ShotAtShields();
    co_await SuperEnergyWeapon();
    co_await MoveTorpedo(1);
    co_await MoveTorpedo(2);
    co_await MoveTorpedo(3);
    ShipRepaint();
    ShipMove();
    co_await WinTest();
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

Task Game::ShowOutcome(OutcomeKind kind) {
    co_await shell_.HoldScreen(Hold::Picture);
    OutcomeDialog rules(*this, kind);
    Dialog dialog(OutcomeName(kind), &rules);
    co_await shell_.ShowDialog(dialog);
    rules.Form_Unload();
    StopPlay();
}

void Game::StopPlay() {
    state_.gamerunning = false;
    shell_.SetPlayControlsEnabled(false);
}

}  // namespace korvane
