#include "scripted_shell.h"

#include <cstdlib>
#include <ctime>

#include "dialog_rules.h"

namespace korvane::script {

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

ScriptedShell::ScriptedShell(std::vector<ScriptLine> lines, RunOptions options, std::string& log,
                             std::string& warnings)
    : options_(options), log_(log), warnings_(warnings) {
    Load(std::move(lines));
    if (!options_.recordPath.empty()) Record(options_.recordPath);
    if (options_.maxCpuSeconds > 0) cpuStart_ = ThreadCpuSeconds();
    ShowDesignCaption();
}

void ScriptedShell::ShowDesignCaption() {
    shown_[static_cast<int>(Readout::cmdSound)] = FindButton("cmdSound")->caption;
}

void ScriptedShell::Log(const std::string& event) {
    if (!keepLog_) return;
    log_ += std::to_string(frame());
    log_ += ' ';
    log_ += event;
    log_ += '\n';
}

void ScriptedShell::RunIdleLines() {
    // Nothing here waits: every line runs to its end, or the run stops in it.
    while (!Halted() && HasIdleLine()) {
        Begin(RunNextIdleLine());
        if (Halted()) return;
        if (observer_) observer_(game(), playControlsEnabled_);
    }
}

Task ScriptedShell::DoEvents() {
    if (observer_) observer_(game(), playControlsEnabled_);
    if (frame() >= options_.maxFrames) Stop(RunStop::FrameLimit);
    // The clock is read once in 1024 frames: a frame costs microseconds, the clock more.
    if (options_.maxCpuSeconds > 0 && frame() % 1024 == 0 &&
        ThreadCpuSeconds() - cpuStart_ > options_.maxCpuSeconds) {
        Stop(RunStop::CpuLimit);
    }
    if (Halted()) co_await Forever();
    co_await Yield();
}

void ScriptedShell::ExpectFailed(const ScriptLine& line, const std::string& what) {
    if (Halted()) return;
    desync_ = "line " + std::to_string(line.lineNumber) + ": frame " + std::to_string(frame()) +
              ": desync " + what;
    Log("desync " + what);
    Stop(RunStop::Desync);
}

void ScriptedShell::Report(const std::string& message) {
    warnings_ += "korvane-sim: " + message + "\n";
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
    std::string what = line.command + " " + line.rest + " expected ";
    what += check.count < 0 ? "at least 1" : std::to_string(check.count);
    what += " got " + std::to_string(matches) + ", the frames held: ";
    if (came.empty()) what += "nothing";
    for (size_t i = 0; i < came.size() && i < 8; ++i) what += (i ? " | " : "") + came[i];
    if (came.size() > 8) what += " | ... (" + std::to_string(came.size() - 8) + " more)";
    ExpectFailed(line, what);
}

Task ScriptedShell::ShowDialog(Dialog& dialog) {
    // Every dialog is answered at once, as the script says, and closed.
    if (dialog.IsMessageBox()) {
        Log("msgbox " + dialog.text);
        return {};
    }
    Log(std::string("dialog ") + dialog.window);
    // A window's read-outs are empty as it opens.
    for (Readout r : {Readout::Text1, Readout::txtCurrentScore, Readout::txtNextscore}) {
        shown_[static_cast<int>(r)].clear();
    }
    if (dialog.rules) dialog.rules->Form_Load();
    AnswerDialog(dialog);
    return {};
}

void ScriptedShell::Show(const WindowChange& change) {
    switch (change.kind) {
        case WindowChange::Kind::ResetMainWindow:
            // The window comes back as it is designed: not minimised, read-outs empty.
            MainWindowReset();
            for (Readout r : {Readout::txtScore, Readout::txtGameTime, Readout::txtHighscore}) {
                shown_[static_cast<int>(r)].clear();
            }
            ShowDesignCaption();
            Log("reset");
            break;
        case WindowChange::Kind::PlayControls:
            playControlsEnabled_ = change.on;
            Log(change.on ? "controls on" : "controls off");
            break;
        case WindowChange::Kind::Text:
            ShowText(change.readout, change.text);
            break;
        case WindowChange::Kind::TorpedoIndicator:
            Log("option " + std::to_string(change.slot) + (change.on ? " True" : " False"));
            break;
        case WindowChange::Kind::ViewscreenCleared:
            Log("teardown");
            break;
        case WindowChange::Kind::ShowMainWindow:
        case WindowChange::Kind::RefreshReadout:
        case WindowChange::Kind::FocusViewscreen:
            break;
    }
}

Task ScriptedShell::EndProgram() {
    Stop(RunStop::Exited);
    co_await Forever();
}

void ScriptedShell::ShowText(Readout which, const std::string& text) {
    std::string& shown = shown_[static_cast<int>(which)];
    if (shown == text) return;
    shown = text;
    Log(std::string("text ") + ReadoutName(which) + " " + text);
}

void ScriptedShell::PlaySound(int soundid, int playflags) {
    Log("sound " + std::to_string(soundid) + " " + std::to_string(playflags));
}

}  // namespace korvane::script
