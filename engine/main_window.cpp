// Start-up, the main window's load and unload, its play controls and the button handlers
// that serve play.

#include <string>

#include "game.h"

namespace korvane {

const char* ReadoutName(Readout r) {
    switch (r) {
        case Readout::txtScore:
            return "txtScore";
        case Readout::txtGameTime:
            return "txtGameTime";
        case Readout::txtHighscore:
            return "txtHighscore";
        case Readout::cmdSound:
            return "cmdSound";
        case Readout::Text1:
            return "Text1";
        case Readout::txtCurrentScore:
            return "txtCurrentScore";
        case Readout::txtNextscore:
            return "txtNextscore";
    }
    return "";
}

Game::Game(Shell& shell) : shell_(shell), sprites_(GameSprites()) {}

void Game::Main() {
    state_.soundon = true;
    state_.numberofstars = 150;
    // Showing the window loads it first, so its load routine runs before the scores have
    // values: the score and time read-outs stay empty until the first game.
    Form_Load();
    shell_.ShowMainWindow();
    state_.score = 0;
    state_.gametime = 0;
    readoutsHaveValues_ = true;
    state_.winscore = kDefaultWinscore;
    state_.highscore = 0;
    state_.bluepen = surface_.CreatePen(kBlue);
    state_.blackpen = surface_.CreatePen(kBlack);
}

void Game::Form_Load() {
    ShowText(Readout::txtScore, readoutsHaveValues_ ? std::to_string(state_.score) : "");
    ShowText(Readout::txtGameTime, readoutsHaveValues_ ? std::to_string(state_.gametime) : "");
    ShowText(Readout::cmdSound, state_.soundon ? "sound: ON" : "sound: OFF");
}

void Game::Form_QueryUnload(UnloadReason reason) {
    if (reason == UnloadReason::ByProgram) {
        // The reload at every game start must not end the program.
        if (state_.notrealunload) return;
        surface_.DeleteObject(state_.bluepen);
        surface_.DeleteObject(state_.blackpen);
        return;
    }
    surface_.DeleteObject(state_.bluepen);
    surface_.DeleteObject(state_.blackpen);
    shell_.EndProgram();
}

void Game::cmdExit_Click() {
    Form_QueryUnload(UnloadReason::ByProgram);
    shell_.EndProgram();
}

void Game::EnablePlayControls() {
    shell_.SetPlayControlsEnabled(true);
}
void Game::DisablePlayControls() {
    shell_.SetPlayControlsEnabled(false);
}

void Game::ShowText(Readout which, const std::string& text) {
    surface_.Charge(cost::kReadoutUpdate);
    shell_.SetText(which, text);
}

void Game::ShowScore() {
    ShowText(Readout::txtScore, std::to_string(state_.score));
}

void Game::PlaySoundResource(int soundid, int playflags) {
    shell_.PlaySound(soundid, playflags);
}

void Game::PlaySoundIfOn(int soundid) {
    if (state_.soundon) PlaySoundResource(soundid, 1);
}

void Game::cmdSound_Click() {
    if (state_.soundon) {
        ShowText(Readout::cmdSound, "sound: OFF");
        state_.soundon = false;
    } else {
        ShowText(Readout::cmdSound, "sound: ON");
        state_.soundon = true;
    }
    shell_.FocusViewscreen();
}

void Game::cmdPhaser_Click() {
    if (!state_.phaserrecharging) FirePhasers();
    shell_.FocusViewscreen();
}

void Game::cmdPhoton_Click() {
    LaunchTorpedo();
    shell_.FocusViewscreen();
}

void Game::cmdShields_Click() {
    ToggleShields();
    shell_.FocusViewscreen();
}

void Game::cmdLeft_Click() {
    Steer(state_.deltax, -1);
    shell_.FocusViewscreen();
}

void Game::cmdRight_Click() {
    Steer(state_.deltax, 1);
    shell_.FocusViewscreen();
}

void Game::cmdStop_Click() {
    state_.deltax = 0;
    shell_.FocusViewscreen();
}

void Game::cmdXhairup_Click() {
    Steer(state_.crossydelta, -1);
    shell_.FocusViewscreen();
    ApplyTargetRule();
}

void Game::cmdXhairdown_Click() {
    Steer(state_.crossydelta, 1);
    shell_.FocusViewscreen();
    ApplyTargetRule();
}

void Game::cmdXhairleft_Click() {
    Steer(state_.crossxdelta, -1);
    shell_.FocusViewscreen();
    ApplyTargetRule();
}

void Game::cmdXhairright_Click() {
    Steer(state_.crossxdelta, 1);
    shell_.FocusViewscreen();
    ApplyTargetRule();
}

void Game::cmdStopCrosshair_Click() {
    state_.targetx = kNoTarget;
    state_.targety = kNoTarget;
    state_.crossxdelta = 0;
    state_.crossydelta = 0;
    shell_.FocusViewscreen();
}

}  // namespace korvane
