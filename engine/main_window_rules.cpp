// Start-up, the main window's load and unload, its play controls and the player's commands
// that the buttons and the keys share.

#include <string>

#include "game.h"

namespace korvane {

const char* ReadoutName(Readout r) {
    static constexpr const char* kNames[] = {"txtScore",    "txtGameTime", "txtHighscore",
                                             "cmdSound",    "Text1",       "txtCurrentScore",
                                             "txtNextscore"};
    return kNames[static_cast<int>(r)];
}

Game::Game(Shell& shell) : shell_(shell), sprites_(GameSprites()) {}

void Game::Main() {
    state_.soundon = true;
    state_.numberofstars = kDefaultStars;
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

Task Game::Form_QueryUnload(UnloadReason reason) {
    if (reason == UnloadReason::ByProgram) {
        // The reload at every game start must not end the program.
        if (state_.notrealunload) co_return;
        surface_.DeleteObject(state_.bluepen);
        surface_.DeleteObject(state_.blackpen);
        co_return;
    }
    surface_.DeleteObject(state_.bluepen);
    surface_.DeleteObject(state_.blackpen);
    co_await shell_.EndProgram();
}

void Game::Form_Resize(bool minimised) {
    shell_.PlayerChose(minimised ? Choice::Minimised : Choice::Restored);
}

Task Game::cmdExit_Click() {
    co_await Form_QueryUnload(UnloadReason::ByProgram);
    co_await shell_.EndProgram();
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
    if (state_.soundon) PlaySoundResource(soundid, kSoundPlaysOn);
}

void Game::ToggleSound() {
    state_.soundon = !state_.soundon;
    ShowText(Readout::cmdSound, state_.soundon ? "sound: ON" : "sound: OFF");
}

void Game::FireAtCrosshairs() {
    if (!state_.phaserrecharging) FirePhasers();
}

void Game::SteerShip(int s) {
    Steer(state_.deltax, s);
}

void Game::StopShip() {
    state_.deltax = 0;
}

void Game::SteerCrosshairs(int dx, int dy) {
    if (dx != 0) Steer(state_.crossxdelta, dx);
    if (dy != 0) Steer(state_.crossydelta, dy);
    ApplyTargetRule();
}

void Game::StopCrosshairs() {
    state_.targetx = kNoTarget;
    state_.targety = kNoTarget;
    state_.crossxdelta = 0;
    state_.crossydelta = 0;
}

}  // namespace korvane
