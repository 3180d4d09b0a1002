#include "settings_dialog_rules.h"

#include <algorithm>
#include <string>

#include "game.h"

namespace korvane {

void SettingsDialog::Form_Load() {
    Shell& shell = game_.shell();
    shell.SetText(Readout::Text1, std::to_string(game_.state().numberofstars));
    SetScrollValue(game_.state().numberofstars);
}

void SettingsDialog::SetScrollValue(int16_t value) {
    value = std::clamp(value, kMinStars, kMaxStars);
    if (value == scrollValue_) return;
    scrollValue_ = value;
    HScroll1_Change();
    game_.shell().PlayerChose(Choice::StarsMoved);
}

void SettingsDialog::HScroll1_Change() {
    GameState& s = game_.state();
    if (s.soundon) game_.PlaySoundResource(kSoundStarCount, kSoundPlaysOn);
    s.numberofstars = scrollValue_;
    game_.shell().SetText(Readout::Text1, std::to_string(s.numberofstars));
}

void SettingsDialog::Command1_Click() {
    GameState& s = game_.state();
    s.numberofstars = kDefaultStars;
    SetScrollValue(kDefaultStars);
    game_.shell().SetText(Readout::Text1, std::to_string(s.numberofstars));
    game_.shell().PlayerChose(Choice::DefaultStars);
}

void SettingsDialog::Form_Unload() {
    game_.shell().PlayerChose(Choice::SettingsClosed);
}

}  // namespace korvane
