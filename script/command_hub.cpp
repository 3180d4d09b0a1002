#include "command_hub.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "state_names.h"

namespace korvane::script {

CommandHub::~CommandHub() {
    StopRecording();
}

// --- Input ------------------------------------------------------------------------------------

void CommandHub::Give(const ScriptLine& line) {
    if (halted_) return;
    if (outermost_) {
        given_.push_back(line);
        return;
    }
    Begin(Take(line));
}

Task CommandHub::Take(ScriptLine line) {
    if (gate_ && !gate_(line)) co_return;
    const bool asGiven = FindCommand(line.command)->recorded == Recorded::AsGiven;
    if (asGiven) CommandBegins(LineText(line));
    co_await Run(line);
    if (asGiven) CommandEnds();
}

void CommandHub::Begin(Task task) {
    outermost_.emplace(std::move(task));
    outermost_->Start();
    Settle();
}

void CommandHub::Resume() {
    resumer_.Resume();
    Settle();
}

void CommandHub::Settle() {
    while (outermost_ && outermost_->Done()) {
        const Task ended = std::move(*outermost_);
        outermost_.reset();
        framePhases_ = false;  // the game's frames, if any, have all run
        ended.Rethrow();
        if (given_.empty() || halted_) return;
        const ScriptLine next = std::move(given_.front());
        given_.pop_front();
        outermost_.emplace(Take(next));
        outermost_->Start();
    }
}

std::optional<ScriptLine> CommandHub::ReadLine(const std::string& text) {
    std::vector<ScriptLine> lines;
    try {
        lines = ParseScript(text);
    } catch (const ScriptError& e) {
        Report(std::string(e.what()) + " in " + Quoted(text));
        return std::nullopt;
    }
    if (lines.size() != 1) {
        Report("not one command line: " + Quoted(text));
    } else if (lines[0].at) {
        Report("'at' runs a line in a recording's replay, not now: " + Quoted(text));
    } else {
        return lines[0];
    }
    return std::nullopt;
}

Task CommandHub::Run(const ScriptLine& line) {
    return FindCommand(line.command)->run(*this, line);
}

void CommandHub::Load(std::vector<ScriptLine> lines) {
    lines_ = std::move(lines);
    next_ = 0;
    linesLoaded_ = true;
}

void CommandHub::Append(const std::vector<ScriptLine>& lines) {
    lines_.insert(lines_.end(), lines.begin(), lines.end());
    linesLoaded_ = true;
}

Task CommandHub::RunNextIdleLine() {
    return Take(lines_[next_++]);
}

std::optional<int> CommandHub::FirstUnreadCheck() const {
    for (size_t i = next_; i < lines_.size(); ++i) {
        const std::string& c = lines_[i].command;
        if (c == cmd::kExpect || c == cmd::kLogged) return lines_[i].lineNumber;
    }
    return std::nullopt;
}

Task CommandHub::Yield() {
    ++frame_;
    ++inYield_;
    framePhases_ = false;
    WritePendingClick();
    // Lines due in this frame run here, in script order, as the player's would; an idle line
    // waits for the game to end, and so does everything after it.
    while (next_ < lines_.size() && lines_[next_].at && *lines_[next_].at <= frame_) {
        co_await Take(lines_[next_++]);
        if (halted_) co_await Forever();
    }
    co_await HandleEvents();
    while (!given_.empty()) {
        const ScriptLine line = std::move(given_.front());
        given_.pop_front();
        co_await Take(line);
        if (halted_) co_await Forever();
    }
    --inYield_;
    framePhases_ = inYield_ == 0;
}

Task CommandHub::HoldScreen(Hold what) {
    if (what == Hold::Sound) ++soundsHeld_;
    co_await HoldFor(what);
    if (what == Hold::Sound) --soundsHeld_;
}

// --- What the starts see and the player chose ------------------------------------------------

ScreenSize CommandHub::ScreenSizeInPixels() {
    const ScreenSize size = screen_.value_or(RealScreenSize());
    const bool same = size.width == recordedScreen_.width && size.height == recordedScreen_.height;
    if (!(game_->state().gamerunning && same)) {
        Write(Prefix() + cmd::kScreenSize + " " + std::to_string(size.width) + "x" +
              std::to_string(size.height));
        recordedScreen_ = size;
    }
    return size;
}

uint64_t CommandHub::ClockSeed() {
    uint64_t seed = seed_ ? *seed_ : RealClockSeed();
    if (!seed_ && chooseSeed_) seed = chooseSeed_(seed);
    Write(Prefix() + cmd::kSeed + " " + std::to_string(seed));
    return seed;
}

void CommandHub::PlayerChose(Choice choice) {
    switch (choice) {
        case Choice::StarsMoved:
            defaultPressed_ = false;
            break;
        case Choice::DefaultStars:
            defaultPressed_ = true;
            break;
        case Choice::SettingsClosed:
            Write(Prefix() + (defaultPressed_ ? std::string(cmd::kDefaultStars)
                                              : std::string(cmd::kStars) + " " +
                                                    std::to_string(game_->state().numberofstars)));
            defaultPressed_ = false;
            break;
        case Choice::Harder:
            harderPressed_ = true;
            break;
        case Choice::VictoryClosed:
            victoryOpen_ = false;
            if (!harderPressed_) break;
            // Given in the yield of the frame that won, so that its victory dialog uses it.
            harderPressed_ = false;
            lastAt_ = std::max(lastAt_, frame_);
            Write("at " + std::to_string(lastAt_) + " " + cmd::kHarder);
            break;
        case Choice::Minimised:
        case Choice::Restored:
            if ((choice == Choice::Minimised) == recordedMinimised_) break;
            recordedMinimised_ = choice == Choice::Minimised;
            Write(Prefix() + (recordedMinimised_ ? cmd::kMinimise : cmd::kRestore));
            break;
    }
}

void CommandHub::AnswerStars(std::optional<int> count) {
    starsAnswer_ = count ? StarsAnswer::Count : StarsAnswer::Default;
    starsCount_ = count.value_or(0);
}

void CommandHub::AnswerDialog(Dialog& dialog) {
    if (auto* settings = dynamic_cast<SettingsDialog*>(dialog.rules)) AnswerSettings(*settings);
    if (auto* outcome = dynamic_cast<OutcomeDialog*>(dialog.rules)) AnswerOutcome(*outcome);
}

void CommandHub::AnswerSettings(SettingsDialog& dialog) {
    if (starsAnswer_ == StarsAnswer::Count) {
        dialog.SetScrollValue(static_cast<int16_t>(starsCount_));
    } else if (starsAnswer_ == StarsAnswer::Default) {
        dialog.Command1_Click();
    }
}

void CommandHub::AnswerOutcome(OutcomeDialog& dialog) {
    victoryOpen_ = dialog.kind() == OutcomeKind::frmUWin;
    if (dialog.kind() != OutcomeKind::frmUWin || !harder_) return;
    harder_ = false;
    dialog.cmdChangeWinscore_Click();
}

void CommandHub::MainWindowReset() {
    minimised_ = false;
    recordedMinimised_ = false;
    playControlsEnabled_ = false;
}

// --- The commands' default actions ----------------------------------------------------------

Task CommandHub::ClickButton(const ButtonInfo& button) {
    if (button.playControl && !playControlsEnabled_) return {};
    return Click(game(), button);
}

void CommandHub::SetMinimised(bool minimised) {
    minimised_ = minimised;
    game().Form_Resize(minimised);
}

void CommandHub::Print(const std::string& text) {
    std::printf("%lld %s\n", static_cast<long long>(frame_), text.c_str());
    std::fflush(stdout);
}

void CommandHub::ExpectFailed(const ScriptLine& line, const std::string& what) {
    Report("line " + std::to_string(line.lineNumber) + ": frame " + std::to_string(frame_) +
           ": desync " + what);
}

void CommandHub::CheckLogged(const ScriptLine& line) {
    Report("line " + std::to_string(line.lineNumber) + ": command " + Quoted(line.command) +
           " has no effect here");
}

void CommandHub::Report(const std::string& message) {
    std::fprintf(stderr, "korvane: %s\n", message.c_str());
}

void CommandHub::WriteScreen(const ScriptLine& line) {
    const std::string& path = line.args[0];
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << Surface::kWidth << ' ' << Surface::kHeight << "\n255\n";
    for (Color c : game().surface().Pixels()) {
        const char rgb[3] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                             static_cast<char>((c >> 16) & 0xFF)};
        out.write(rgb, 3);
    }
    out.close();
    if (!out) Report("line " + std::to_string(line.lineNumber) + ": cannot write " + Quoted(path));
}

// --- The recording ----------------------------------------------------------------------------

void CommandHub::Record(const std::string& path, Writer copy) {
    StopRecording();
    path_ = path;
    copy_ = std::move(copy);
    file_ = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
    if (!path.empty() && !file_) {
        Report("cannot record to " + Quoted(path) + ": " + std::strerror(errno) +
               "; the game plays unrecorded");
    }
    recording_ = file_ || copy_;
    Write("# A game of Korvane, recorded. Check it with: korvane-sim FILE");
    Write("# Watch it with: korvane --replay FILE");
}

void CommandHub::StopRecording() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    copy_ = nullptr;
    gameRecorded_ = nullptr;
    recording_ = false;
}

void CommandHub::Write(const std::string& line) {
    if (!recording_) return;
    if (copy_) copy_(line);
    if (!file_) return;
    // Line by line, so that what was played survives a crash.
    if (std::fputs((line + "\n").c_str(), file_) < 0 || std::fflush(file_) != 0) {
        Report("cannot record to " + Quoted(path_) + ": " + std::strerror(errno) +
               "; the game plays on unrecorded");
        std::fclose(file_);
        file_ = nullptr;
    }
}

std::string CommandHub::Prefix() {
    const bool inLoop = inYield_ > 0 || (game_->state().gamerunning && frame_ > startFrame_);
    if (!inLoop) return "";
    // Between two yields (a flash on the viewscreen) the game has already looked at the
    // window for this frame: what happens now counts from the next yield.
    lastAt_ = std::max(lastAt_, inYield_ > 0 ? frame_ : frame_ + 1);
    return "at " + std::to_string(lastAt_) + " ";
}

void CommandHub::WritePendingClick() {
    if (pendingClick_.empty()) return;
    Write(pendingClick_);
    pendingClick_.clear();
}

void CommandHub::CommandBegins(const std::string& line) {
    ++commandDepth_;
    WritePendingClick();
    if (line != LineText(MakeLine(cmd::kClick, {"cmdStart"}))) {
        Write(Prefix() + line);
        return;
    }
    // A start writes what it sees (screen size, star count, seed) before its click.
    pendingClick_ = Prefix() + line;
    if (!game_->state().gamerunning) {
        startFrame_ = frame_;
        if (commandDepth_ == 1) idleStart_ = true;
    }
}

void CommandHub::CommandEnds() {
    WritePendingClick();
    if (--commandDepth_ > 0 || !idleStart_) return;
    idleStart_ = false;
    if (frame_ > startFrame_) WriteExpectations();
}

void CommandHub::WriteExpectations() {
    for (const char* name : kRecordedVariables) {
        Write(std::string(cmd::kExpect) + " " + name + " " +
              FormatStateVar(*FindStateVar(game_->state(), name)));
    }
    // korvane-sim stops at 100000 frames unless told otherwise (--max-frames).
    Write("# " + std::to_string(frame_) + " frames so far");
    if (gameRecorded_ && recording_) gameRecorded_();
}

}  // namespace korvane::script
