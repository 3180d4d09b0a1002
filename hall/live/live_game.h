#pragma once
// A game played live for the hall: its lines come in batches as the player's program writes
// them, and the hall's own replay runs them as they come. The replay is a task that the
// live pool's workers step: it runs when a batch arrives and waits, without a thread, for
// the next. The replay knows the emulated time of every
// frame, which the pace check holds against the batches' arrivals, and the score so far,
// which the list of games in progress shows. A batch is answered once the replay has run
// it; a game that is not live, or whose lines do not replay, is over for the hall.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "live_lines.h"
#include "live_pool.h"
#include "pace_check.h"
#include "script.h"
#include "scripted_shell.h"
#include "gate/submission.h"
#include "task.h"

namespace korvane::hall {

struct LiveProgress {
    int64_t frame = 0;
    int32_t score = 0;
    int32_t stars = 0;
    int64_t arrived = 0;  // the batch's arrival, ms since 1970
    int64_t paused = 0;   // the pauses' time so far, ms
    int32_t pauses = 0;   // and how many
};

// How a live game ended: its score (the replay's, its checks held), or why it was refused.
struct LiveEnd {
    std::optional<int32_t> score;
    Refusal refusal;
    bool abandoned = false;  // the stream stopped
};

class LiveGame : private LivePool::Stepper {
  public:
    // nullopt: the batch was taken; a refusal: the game is over for the hall.
    using Answer = std::function<void(std::optional<Refusal>)>;
    struct Hooks {
        // A batch the replay has run, with its answer (on the replay's thread).
        std::function<void(const std::string& text, const LiveProgress&, Answer)> ran;
        // The game's end, with the answer of the batch that ended it, if a batch did.
        std::function<void(const LiveEnd&, Answer)> ended;
    };

    // startSeconds: when the game was opened (steady clock). The pool steps its replay.
    LiveGame(LivePool& pool, uint64_t seed, PaceRules rules, int64_t maxFrames,
             double startSeconds, Hooks hooks);
    ~LiveGame();
    LiveGame(const LiveGame&) = delete;
    LiveGame& operator=(const LiveGame&) = delete;

    // A batch that arrived at arrivalSeconds (steady clock); answered from the replay. The
    // replay, with its viewscreen, begins with the first batch: a game opened and never
    // played costs the hall little.
    void Batch(LiveLines lines, double arrivalSeconds, Answer answer);
    // A game taken over from another hall: the batches it had stored, run again without
    // their pace (held where they came), written or answered; the pace goes on from the
    // last one's arrival (this clock) with the pauses' time so far. Before any Batch.
    struct Resumed {
        double lastArrival = 0;  // the last stored batch's, on this clock
        double takenAt = 0;      // when this hall took it over
        double pausedSeconds = 0;
        int pauses = 0;
    };
    void Restore(std::vector<LiveLines> batches, Resumed resumed);
    // A batch the hall refuses as it comes (malformed, too much): the game ends with it.
    void Refused(Refusal refusal, Answer answer);
    // A game that no batch ever reached ends once its time to start has run out; true when
    // it ended now.
    bool Expire(double nowSeconds);
    LiveProgress Progress() const;
    bool Over() const { return over_; }
    // What a batch after the game's end is told: why it was refused, or that it is over.
    Refusal After() const;
    uint64_t seed() const { return seed_; }

    // The steady clock the arrivals are read on, in seconds.
    static double Now();
    // A moment of that clock on the wall clock, in ms since 1970.
    static int64_t WallMs(double steadySeconds);

  private:
    class Shell;
    class Replayer;
    struct Pending {
        std::deque<script::ScriptLine> lines;
        int64_t reach;  // the last frame this batch covers
        bool dialog;    // sent while a dialog held the player's game
        std::optional<int64_t> number;  // its place in the game, when the client said
        double arrival;
        std::string text;
        Answer answer;
        std::optional<Refusal> refusal;  // the game ends here
        bool begun = false;              // the replay has taken it
        bool restored = false;           // stored by the hall the game was taken from
    };
    // The replay, stepped by the pool: runs until it waits for a batch or a moment, or ends.
    void Step() override;
    Task Replay();
    // The replay has stopped: the batches left are answered, the end told.
    void Finish();
    // Begins the replay, under lock_.
    void Begin();
    // A numbered batch sent again: answered as the one taken before, once it is kept.
    void AnswerAgain(int64_t number, const Answer& answer);
    // Ends a game whose replay never began; false when it had, or the game was over.
    bool EndUnplayed(const LiveEnd& end, Answer answer);
    // The front batch, waiting for one as long as the pace check allows. Past the check, or
    // as the hall stops, the replay stops there for good.
    Task Front(bool held, std::shared_ptr<Pending>& front);
    // That batch is used up: answered and dropped.
    void Done(const std::shared_ptr<Pending>& batch);
    // The game is refused: the replay stops where it stands (co_await Forever after it).
    void Refuse(const std::string& code, const std::string& message, bool abandoned = false);
    // The replay waits until a batch arrives or until `until` (Now's clock).
    Resumer::Suspension WaitUntil(double until);

    uint64_t seed_;
    double lateSeconds_;  // how long a numbered batch waits for the ones before it
    int64_t taken_ = 0;   // the batches the replay has taken
    int64_t restored_ = 0;  // the numbered batches restored: sent again, they are not run
    std::optional<Resumed> resumed_;  // the pace taken up with the first batch not restored
    double takenAt_ = 0;              // when this hall took the game over, if it did
    struct Kept {
        std::mutex lock;
        std::set<int64_t> numbers;  // the numbered batches the database has
    };
    std::shared_ptr<Kept> stored_ = std::make_shared<Kept>();
    int64_t maxFrames_;
    Hooks hooks_;
    LivePool& pool_;
    mutable std::mutex lock_;
    std::condition_variable finished_;  // the replay has ended, for the destructor
    std::deque<std::shared_ptr<Pending>> batches_;
    PaceCheck pace_;
    bool stopping_ = false;
    std::atomic<bool> over_{false};
    LiveProgress progress_;
    Refusal after_{"live-over", "this live game is over"};

    // The replay: begun with the first batch, dropped when it ends. Only the step touches it.
    std::unique_ptr<Replayer> replayer_;
    bool begun_ = false;     // under lock_
    bool replaying_ = false;  // begun and not yet finished, under lock_
    Resumer waiting_;
    std::optional<double> wakeAt_;
    double cpuSeconds_ = 0;    // the CPU time of the steps so far
    double stepCpuStart_ = 0;  // the worker thread's CPU time as this step began
    double CpuSeconds() const { return cpuSeconds_ + script::ThreadCpuSeconds() - stepCpuStart_; }
    std::optional<LiveEnd> stopped_;  // why the replay stopped before the game's end
};

}  // namespace korvane::hall
