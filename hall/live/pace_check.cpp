#include "pace_check.h"

#include <algorithm>
#include <cstdio>

namespace korvane::hall {

namespace {

std::string Seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", s);
    return text;
}

}  // namespace

PaceCheck::PaceCheck(PaceRules rules, double startSeconds)
    : rules_(rules), start_(startSeconds), lastArrival_(startSeconds), anchor_(startSeconds) {}

void PaceCheck::Resume(double lastArrival, double takenAt, double pausedSeconds, int pauses) {
    started_ = true;
    takenAt_ = takenAt;
    anchored_ = false;
    anchor_ = lastArrival;
    paused_ = held_ = pausedSeconds;
    pauses_ = pauses;
    pauseBegan_.reset();
    window_.clear();
    haveStrictest_ = false;
}

void PaceCheck::Arrived(double arrival) {
    lastArrival_ = std::max(lastArrival_, arrival);
}

std::optional<std::string> PaceCheck::Frame(double arrival, double game) {
    if (!anchored_) {
        anchored_ = true;
        mostBehind_ = anchor_ - game;
        anchorGame_ = game;
    }
    if (!started_) {
        started_ = true;
        if (arrival - start_ > rules_.startSeconds) {
            return "the game's first frame came " + Seconds(arrival - start_) +
                   " s after its opening (at most " + Seconds(rules_.startSeconds) + " s)";
        }
    }
    // Ahead: a frame is played no earlier than the pacer lets it, and arrives at most a
    // batch's span and its lateness after it was played; pauses only add real time. So
    // arrival - game never falls further below what an earlier frame showed (or the
    // opening): a whole game sent at once after it falls by the game's length.
    // After a takeover, the frames played before it (at the game's pace from the last batch
    // the other hall had) came late by the gap, whatever batch brought them: they set no
    // bound on the frames after them, which are held to that last batch instead.
    const bool beforeTakeover =
        takenAt_ > 0 && game <= anchorGame_ + (takenAt_ - anchor_) + rules_.lateSeconds;
    if (!beforeTakeover) mostBehind_ = std::max(mostBehind_, arrival - game);
    const double ahead = mostBehind_ - (arrival - game);
    if (ahead > rules_.lateSeconds + rules_.batchSeconds) {
        return "the game ran " + Seconds(ahead) + " s ahead of its pace";
    }
    // Slow: over any window of at least windowSeconds, the game time played is at least
    // (1 - tolerance) of the real time, less the pauses and what a late batch accounts
    // for. The window runs on through a pause, so slow play between pauses is slow play.
    const double real = std::max(arrival, takenAt_) - held_;
    if (window_.empty() || window_.back().arrival != real) {
        window_.push_back({real, game});
    } else {
        window_.back().game = game;
    }
    const double keep = 1.0 - rules_.slowTolerance;
    while (window_.size() > 1 && window_.front().arrival <= real - rules_.windowSeconds) {
        const double bound = window_.front().game - keep * window_.front().arrival;
        strictest_ = haveStrictest_ ? std::max(strictest_, bound) : bound;
        haveStrictest_ = true;
        window_.pop_front();
    }
    if (haveStrictest_ && game - keep * (real - rules_.lateSeconds) < strictest_) {
        return "the frames came more than " + Seconds(rules_.slowTolerance * 100) +
               "% slower than the game's pace over " + Seconds(rules_.windowSeconds) + " s";
    }
    return std::nullopt;
}

void PaceCheck::BeginHold(double arrival) {
    if (pauseBegan_) return;  // one hold, however many dialogs open in it
    pauseBegan_ = arrival;
    counted_ = false;
}

std::optional<std::string> PaceCheck::Counted() {
    if (!pauseBegan_ || counted_) return std::nullopt;
    counted_ = true;
    if (++pauses_ > rules_.pauses) {
        return "the game was paused " + std::to_string(pauses_) + " times (at most " +
               std::to_string(rules_.pauses) + ")";
    }
    return std::nullopt;
}

std::optional<std::string> PaceCheck::EndPause(double arrival) {
    if (!pauseBegan_) return std::nullopt;
    const double length = std::max(0.0, arrival - *pauseBegan_);
    held_ += length;
    pauseBegan_.reset();
    if (!counted_) return std::nullopt;
    paused_ += length;
    if (paused_ > rules_.pauseSeconds) {
        return "the game was paused for " + Seconds(paused_) + " s in all (at most " +
               Seconds(rules_.pauseSeconds) + " s)";
    }
    return std::nullopt;
}

std::optional<std::string> PaceCheck::Silence(double now, bool held) const {
    if (!started_ && now - start_ > rules_.startSeconds) {
        return "the game did not start within " + Seconds(rules_.startSeconds) +
               " s of its opening";
    }
    const double quiet = now - lastArrival_;
    if (quiet <= (held ? rules_.heldSeconds : rules_.stallSeconds)) return std::nullopt;
    return "no lines came for " + Seconds(quiet) + " s" + (held ? " (a dialog held the game)" : "");
}

std::optional<std::string> PaceCheck::PauseOverdue(double now) const {
    if (!pauseBegan_ || !counted_ || paused_ + (now - *pauseBegan_) <= rules_.pauseSeconds)
        return std::nullopt;
    return "the game was paused for more than " + Seconds(rules_.pauseSeconds) + " s in all";
}

double PaceCheck::Deadline(bool held) const {
    double deadline = lastArrival_ + (held ? rules_.heldSeconds : rules_.stallSeconds);
    if (!started_) deadline = std::min(deadline, start_ + rules_.startSeconds);
    if (pauseBegan_ && counted_)
        deadline = std::min(deadline, *pauseBegan_ + rules_.pauseSeconds - paused_);
    return deadline;
}

}  // namespace korvane::hall
