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
    : rules_(rules), start_(startSeconds), lastArrival_(startSeconds) {}

void PaceCheck::Arrived(double arrival) {
    lastArrival_ = std::max(lastArrival_, arrival);
}

std::optional<std::string> PaceCheck::Frame(double arrival, double game) {
    // Ahead: a frame is played no earlier than the pacer lets it, and arrives at most a
    // batch's span and its lateness after it was played; pauses only add real time. So
    // arrival - game never falls further below what an earlier frame showed (or the
    // opening): a whole game sent at once after it falls by the game's length.
    if (!anchored_) {
        mostBehind_ = start_ - game;
        anchored_ = true;
    }
    mostBehind_ = std::max(mostBehind_, arrival - game);
    const double ahead = mostBehind_ - (arrival - game);
    if (ahead > rules_.lateSeconds + rules_.batchSeconds) {
        return "the game ran " + Seconds(ahead) + " s ahead of its pace";
    }
    // Slow: over any window of at least windowSeconds without a pause, the game time played
    // is at least (1 - tolerance) of the real time, less what a late batch accounts for.
    if (window_.empty() || window_.back().arrival != arrival) {
        window_.push_back({arrival, game});
    } else {
        window_.back().game = game;
    }
    const double keep = 1.0 - rules_.slowTolerance;
    while (window_.size() > 1 && window_.front().arrival <= arrival - rules_.windowSeconds) {
        const double bound = window_.front().game - keep * window_.front().arrival;
        strictest_ = haveStrictest_ ? std::max(strictest_, bound) : bound;
        haveStrictest_ = true;
        window_.pop_front();
    }
    if (haveStrictest_ && game - keep * (arrival - rules_.lateSeconds) < strictest_) {
        return "the frames came more than " + Seconds(rules_.slowTolerance * 100) +
               "% slower than the game's pace over " + Seconds(rules_.windowSeconds) + " s";
    }
    return std::nullopt;
}

void PaceCheck::Pause() {
    window_.clear();
    haveStrictest_ = false;
}

std::optional<std::string> PaceCheck::Silence(double now, bool held, double heldSeconds) const {
    const double quiet = now - lastArrival_;
    if (quiet <= (held ? heldSeconds : rules_.stallSeconds)) return std::nullopt;
    return "no lines came for " + Seconds(quiet) + " s" + (held ? " (a dialog held the game)" : "");
}

}  // namespace korvane::hall
