#pragma once
// Whether a live game's lines come at the game's own pace. The game has no timer: its pace
// is the emulated time its frames would have taken on the period PC, which the hall's own
// replay reads frame by frame. Each frame the replay runs is held against the arrival of
// the batch that brought it. A game that runs ahead of the clock, falls more than the
// tolerated share behind it over a window, or goes silent outside a dialog is not played
// live. Pure: the clock is the caller's, so a test fabricates the arrivals.

#include <deque>
#include <optional>
#include <string>

namespace korvane::hall {

struct PaceRules {
    double slowTolerance = 0.10;  // frames may come this share slower than the pace
    double windowSeconds = 10;    // measured over a window of real time at least this long
    double lateSeconds = 2;       // a batch may arrive this late (the network)
    double batchSeconds = 0.5;    // a batch holds the lines of at most this long
    double stallSeconds = 10;     // silence outside a dialog
};

class PaceCheck {
  public:
    // startSeconds: when the game was opened; no frame can have been played before it.
    PaceCheck(PaceRules rules, double startSeconds);

    // A batch arrived (with or without frames): the stream is alive.
    void Arrived(double arrivalSeconds);
    // The replay ran a frame that came in the batch that arrived at arrivalSeconds; its
    // game time is the emulated seconds of the frames so far. The reason the game is not
    // live, or nothing.
    std::optional<std::string> Frame(double arrivalSeconds, double gameSeconds);
    // A dialog or message box holds the game: the time until the next frame is the
    // player's, so the window of the slowness check starts afresh after it.
    void Pause();
    // The stream's silence at nowSeconds, when held says whether a dialog holds the game
    // (its time is the player's, bounded by heldSeconds instead).
    std::optional<std::string> Silence(double nowSeconds, bool held, double heldSeconds) const;
    // When the silence becomes too long.
    double SilenceDeadline(bool held, double heldSeconds) const {
        return lastArrival_ + (held ? heldSeconds : rules_.stallSeconds);
    }

  private:
    struct Point {
        double arrival;
        double game;
    };
    PaceRules rules_;
    double start_;
    double lastArrival_;
    bool anchored_ = false;
    // The most real time ahead of game time any frame so far showed: a later frame that
    // shows much less played faster than the game's pacer lets it.
    double mostBehind_ = 0;
    // The batches since the last pause (the last frame of each), and over the ones at
    // least a window old, the strictest bound they set on the frames since.
    std::deque<Point> window_;
    double strictest_ = 0;
    bool haveStrictest_ = false;
};

}  // namespace korvane::hall
