#include "recording.h"

#include <algorithm>

#include "state_names.h"

namespace korvane::script {

namespace {

// What a replay checks after every game: where everything stood when its loop ended.
const char* const kExpected[] = {"score",  "highscore", "gametime", "x",       "crossx",
                                 "crossy", "cubex",     "cubey",    "winscore"};

}  // namespace

Recording::Recording(Game& game, Writer write) : game_(game), write_(std::move(write)) {
    write_("# A game of Korvane, recorded. Check it with: korvane-sim FILE");
    write_("# Watch it with: korvane --replay FILE");
}

bool Recording::IsPlayerCommand(const std::string& command) {
    return command == "click" || command == "keyup" || command == "mouseup" || command == "close";
}

std::string Recording::Prefix() {
    const bool inLoop = inYield_ > 0 || (game_.state().gamerunning && frame_ > startFrame_);
    if (!inLoop) return "";
    // Between two yields (a flash on the viewscreen) the game has already looked at the
    // window for this frame: what happens now counts from the next yield.
    lastAt_ = std::max(lastAt_, inYield_ > 0 ? frame_ : frame_ + 1);
    return "at " + std::to_string(lastAt_) + " ";
}

void Recording::WritePendingClick() {
    if (pendingClick_.empty()) return;
    write_(pendingClick_);
    pendingClick_.clear();
}

void Recording::CommandBegins(const std::string& line) {
    ++commandDepth_;
    WritePendingClick();
    if (line != "click cmdStart") {
        write_(Prefix() + line);
        return;
    }
    // A start writes what it sees (screen size, star count, seed) before its click.
    pendingClick_ = Prefix() + line;
    if (!game_.state().gamerunning) {
        startFrame_ = frame_;
        if (commandDepth_ == 1) idleStart_ = true;
    }
}

void Recording::CommandEnds() {
    WritePendingClick();
    if (--commandDepth_ > 0 || !idleStart_) return;
    idleStart_ = false;
    if (frame_ > startFrame_) WriteExpectations();
}

void Recording::YieldBegins() {
    ++frame_;
    ++inYield_;
    WritePendingClick();
}

void Recording::ScreenSeen(ScreenSize size) {
    if (game_.state().gamerunning && size.width == screen_.width && size.height == screen_.height) {
        return;
    }
    write_(Prefix() + "screensize " + std::to_string(size.width) + "x" +
           std::to_string(size.height));
    screen_ = size;
}

void Recording::SeedSeen(uint64_t seed) {
    write_(Prefix() + "seed " + std::to_string(seed));
}

void Recording::MinimisedChanged(bool minimised) {
    if (minimised == minimised_) return;
    minimised_ = minimised;
    write_(Prefix() + (minimised ? "minimise" : "restore"));
}

void Recording::SettingsClosed() {
    write_(Prefix() + (defaultPressed_ ? std::string("default-stars")
                                       : "stars " + std::to_string(game_.state().numberofstars)));
    defaultPressed_ = false;
}

void Recording::VictoryClosed() {
    if (!harderPressed_) return;
    // Given in the yield of the frame that won, so that its victory dialog uses it.
    harderPressed_ = false;
    lastAt_ = std::max(lastAt_, frame_);
    write_("at " + std::to_string(lastAt_) + " harder");
}

void Recording::WriteExpectations() {
    for (const char* name : kExpected) {
        write_(std::string("expect ") + name + " " +
               FormatStateVar(*FindStateVar(game_.state(), name)));
    }
    // korvane-sim stops at 100000 frames unless told otherwise (--max-frames).
    write_("# " + std::to_string(frame_) + " frames so far");
    if (gameRecorded_) gameRecorded_();
}

}  // namespace korvane::script
