#include "scripted_shell.h"

#include <cstdlib>
#include <fstream>

#include "buttons.h"
#include "game_lines.h"
#include "start_dialog.h"

namespace korvane::script {

namespace {
const char* Flag(bool b) {
    return b ? "True" : "False";
}

}  // namespace

ScriptedShell::ScriptedShell(std::vector<ScriptLine> lines, RunOptions options, std::string& log,
                             std::string& warnings)
    : lines_(std::move(lines)), options_(options), log_(log), warnings_(warnings) {
    ShowDesignCaption();
}

void ScriptedShell::ShowDesignCaption() {
    shown_[static_cast<int>(Readout::cmdSound)] = FindButton("cmdSound")->caption;
}

void ScriptedShell::Log(const std::string& event) {
    if (!keepLog_) return;
    log_ += std::to_string(frame_);
    log_ += ' ';
    log_ += event;
    log_ += '\n';
}

void ScriptedShell::RunIdleLines() {
    while (next_ < lines_.size()) {
        RunLine(lines_[next_++]);
        if (observer_) observer_(*game_, playControlsEnabled_);
    }
}

void ScriptedShell::DoEvents() {
    if (observer_) observer_(*game_, playControlsEnabled_);
    if (frame_ >= options_.maxFrames) throw FrameLimitReached{};
    ++frame_;
    // Lines due in this frame run here, in script order; an idle line waits for the game
    // to end, and so does everything after it.
    while (next_ < lines_.size() && lines_[next_].at && *lines_[next_].at <= frame_) {
        RunLine(lines_[next_++]);
    }
}

void ScriptedShell::RunLine(const ScriptLine& line) {
    Game& game = *game_;
    if (RunGameLine(game, line, [this](const std::string& text) { Log(text); })) return;
    const std::string& c = line.command;
    if (c == "click") {
        Click(line.args[0]);
    } else if (c == "minimise") {
        minimised_ = true;
    } else if (c == "restore") {
        minimised_ = false;
    } else if (c == "close") {
        game.Form_QueryUnload(UnloadReason::ByUser);
    } else if (c == "screen") {
        WriteScreen(line);
    } else if (c == "stars") {
        starsAnswer_ = StarsAnswer::Count;
        starsCount_ = std::stoi(line.args[0]);
    } else if (c == "default-stars") {
        starsAnswer_ = StarsAnswer::Default;
    } else if (c == "harder") {
        harder_ = true;
    } else if (c == "seed") {
        options_.seed = *ParseSeed(line.args[0]);
    } else if (c == "screensize") {
        options_.screen = *ParseScreenSize(line.args[0]);
    } else if (c == "expect") {
        Expect(line);
    } else if (c == "logged") {
        CheckLogged(line);
    }
}

void ScriptedShell::Expect(const ScriptLine& line) {
    const std::optional<std::string> desync = Desync(game_->state(), line);
    if (!desync) return;
    Log("desync " + *desync);
    throw Desynced{};
}

void ScriptedShell::CheckLogged(const ScriptLine& line) {
    const LoggedCheck check = ReadLoggedCheck(line);
    int64_t matches = 0;
    std::vector<std::string> came;  // every line of those frames, for the message
    size_t at = 0;
    while (at < log_.size()) {
        const size_t end = log_.find('\n', at);
        const std::string entry = log_.substr(at, end - at);
        at = end == std::string::npos ? log_.size() : end + 1;
        const size_t space = entry.find(' ');
        const int64_t frame = std::strtoll(entry.c_str(), nullptr, 10);
        if (space == std::string::npos || frame < check.first || frame > check.last) continue;
        const std::string event = entry.substr(space + 1);
        if (event.compare(0, check.event.size(), check.event) == 0 &&
            (event.size() == check.event.size() || event[check.event.size()] == ' ')) {
            ++matches;
        }
        came.push_back(entry);
    }
    if (check.count < 0 ? matches > 0 : matches == check.count) return;
    std::string what = "logged " + line.rest + " expected ";
    what += check.count < 0 ? "at least 1" : std::to_string(check.count);
    what += " got " + std::to_string(matches) + ", the frames held: ";
    if (came.empty()) what += "nothing";
    for (size_t i = 0; i < came.size() && i < 8; ++i) what += (i ? " | " : "") + came[i];
    if (came.size() > 8) what += " | ... (" + std::to_string(came.size() - 8) + " more)";
    Log("desync " + what);
    throw Desynced{};
}

void ScriptedShell::Click(const std::string& name) {
    const ButtonInfo& button = *FindButton(name);
    // A disabled button ignores the click.
    if (button.playControl && !playControlsEnabled_) return;
    korvane::Click(*game_, button);
}

void ScriptedShell::WriteScreen(const ScriptLine& line) {
    const std::string& path = line.args[0];
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << Surface::kWidth << ' ' << Surface::kHeight << "\n255\n";
    for (Color c : game_->surface().Pixels()) {
        const char rgb[3] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                             static_cast<char>((c >> 16) & 0xFF)};
        out.write(rgb, 3);
    }
    out.close();
    if (!out) {
        warnings_ += "korvane-sim: line " + std::to_string(line.lineNumber) + ": cannot write " +
                     Quoted(path) + "\n";
    }
}

void ScriptedShell::ShowMessageBox(const std::string& text) {
    Log("msgbox " + text);
}

void ScriptedShell::ShowSettingsDialog(StartDialog& dialog) {
    Log("dialog frmStart");
    shown_[static_cast<int>(Readout::Text1)].clear();
    dialog.Form_Load();
    if (starsAnswer_ == StarsAnswer::Count) {
        dialog.SetScrollValue(static_cast<int16_t>(starsCount_));
    } else if (starsAnswer_ == StarsAnswer::Default) {
        dialog.Command1_Click();
    }
}

void ScriptedShell::ShowOutcomeDialog(OutcomeDialog& dialog) {
    Log(std::string("dialog ") + OutcomeName(dialog.kind()));
    shown_[static_cast<int>(Readout::txtCurrentScore)].clear();
    shown_[static_cast<int>(Readout::txtNextscore)].clear();
    dialog.Form_Load();
    if (dialog.kind() == OutcomeKind::frmUWin && harder_) {
        dialog.cmdChangeWinscore_Click();
        harder_ = false;
    }
    dialog.cmdClose_Click();
}

void ScriptedShell::ShowAboutBox() {
    Log("dialog frmAbout");
}

void ScriptedShell::ResetMainWindow() {
    // The window comes back as it is designed: not minimised, read-outs empty.
    minimised_ = false;
    for (Readout r : {Readout::txtScore, Readout::txtGameTime, Readout::txtHighscore}) {
        shown_[static_cast<int>(r)].clear();
    }
    ShowDesignCaption();
    playControlsEnabled_ = false;
    Log("reset");
}

void ScriptedShell::EndProgram() {
    throw ProgramEnded{};
}

void ScriptedShell::SetPlayControlsEnabled(bool enabled) {
    playControlsEnabled_ = enabled;
    Log(enabled ? "controls on" : "controls off");
}

void ScriptedShell::SetText(Readout which, const std::string& text) {
    std::string& shown = shown_[static_cast<int>(which)];
    if (shown == text) return;
    shown = text;
    Log(std::string("text ") + ReadoutName(which) + " " + text);
}

void ScriptedShell::SetTorpedoIndicator(int slot, bool ready) {
    Log("option " + std::to_string(slot) + " " + Flag(ready));
}

void ScriptedShell::PlaySound(int soundid, int playflags) {
    Log("sound " + std::to_string(soundid) + " " + std::to_string(playflags));
}

void ScriptedShell::ViewscreenCleared() {
    Log("teardown");
}

}  // namespace korvane::script
