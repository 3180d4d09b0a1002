#pragma once
// Whether a live game's lines come at the game's own pace. The game has no timer: its pace
// is the emulated time its frames would have taken on the period PC, which the hall's own
// replay reads frame by frame. Each frame the replay runs is held against the arrival of
// the batch that brought it. A game that starts late, runs ahead of the clock, falls more
// than the tolerated share behind it over a window, pauses too often or too long, or goes
// silent outside a dialog is not played live. Pure: the clock is the caller's, so a test
// fabricates the arrivals.

#include <deque>
#include <optional>
#include <string>

namespace korvane::hall {

// How often a live game's client sends its batch: the hall tells it with the game's opening.
// A batch may hold a quarter more play than that, for a client's timer that fires late.
constexpr int kLiveBatchMillis = 400;

struct PaceRules {
    double slowTolerance = 0.10;  // frames may come this share slower than the pace
    double windowSeconds = 10;    // measured over a window of real time at least this long
    double lateSeconds = 2;       // a batch may arrive this late (the network)
    double batchSeconds = 1.25 * kLiveBatchMillis / 1000.0;  // the most play a batch holds
    double stallSeconds = 10;     // silence outside a dialog
    double heldSeconds = 600;     // silence while an outcome dialog, or the time between
                                  // games, holds the game
    double startSeconds = 60;     // the first frame comes this soon after the opening
    int pauses = 3;               // dialogs the player may open during the game
    double pauseSeconds = 60;     // and the time they may hold it, all together
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
    bool Started() const { return started_; }
    // A game another hall began, taken over here at takenAt: its last batch came at
    // lastArrival (this clock), it paused `pauses` times for pausedSeconds. The time between
    // is the takeover's, excused: a batch that came before takenAt (and waited for it) is
    // slow by no more than it came early.
    void Resume(double lastArrival, double takenAt, double pausedSeconds, int pauses);
    double PausedSeconds() const { return paused_; }
    int Pauses() const { return pauses_; }
    // A dialog holds the game from the arrival of the batch that opened it (or said it was
    // open) until the arrival of the batch that moves the game on: its time is the
    // player's, left out of the slowness check. One the player opened during the game is a
    // pause, bounded in number and time; a hold for a dialog not yet known becomes one
    // (Counted) when the dialog turns out not to be an outcome dialog.
    void BeginHold(double arrivalSeconds);
    std::optional<std::string> Counted();
    std::optional<std::string> BeginPause(double arrivalSeconds) {
        BeginHold(arrivalSeconds);
        return Counted();
    }
    std::optional<std::string> EndPause(double arrivalSeconds);
    // The stream's silence at nowSeconds, when held says whether a dialog holds the game,
    // or a game not started by then: the player has left it.
    std::optional<std::string> Silence(double nowSeconds, bool held) const;
    // A pause that has run out of the time left for pauses by nowSeconds.
    std::optional<std::string> PauseOverdue(double nowSeconds) const;
    // When Silence or PauseOverdue first says something, for the same held.
    double Deadline(bool held) const;

  private:
    struct Point {
        double arrival;  // less the pauses before it
        double game;
    };
    PaceRules rules_;
    double start_;
    double lastArrival_;
    bool started_ = false;
    double anchor_;         // the real time the first frame held is measured from
    double anchorGame_ = 0;  // and that frame's game time
    bool anchored_ = false;
    double takenAt_ = 0;    // for slowness, no batch came before this
    // The most real time ahead of game time any frame so far showed: a later frame that
    // shows much less played faster than the game's pacer lets it.
    double mostBehind_ = 0;
    int pauses_ = 0;
    double paused_ = 0;                 // the pauses' time so far
    double held_ = 0;                   // and the holds', the pauses' among them
    std::optional<double> pauseBegan_;  // a hold keeps the game since then
    bool counted_ = false;              // and it is a pause
    // The batches (the last frame of each), and over the ones at least a window old, the
    // strictest bound they set on the frames since.
    std::deque<Point> window_;
    double strictest_ = 0;
    bool haveStrictest_ = false;
};

}  // namespace korvane::hall
