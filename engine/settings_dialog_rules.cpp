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

bool SettingsDialog::Handle(std::string_view handler, int value) {
    if (handler == "HScroll1_Change") SetScrollValue(static_cast<int16_t>(value));
    if (handler == "Command1_Click") Command1_Click();
    return handler == "cmdOK_Click";
}

int SettingsDialog::ValueOf(std::string_view control) const {
    return control == "HScroll1" ? scrollValue_ : 0;
}

void SettingsDialog::Form_Unload() {
    game_.shell().PlayerChose(Choice::SettingsClosed);
}

}  // namespace korvane
