#include "live_game.h"

#include <chrono>
#include <climits>
#include <iterator>
#include <set>

#include "command_table.h"

#include "game.h"
#include "scripted_shell.h"

namespace korvane::hall {

namespace {

// How long a batch waits for one sent before it that reached the hall after it: more than
// the hall's loops take to read two requests sent moments apart on two connections, little
// beside the second a watcher may lag.
constexpr double kReorderSeconds = 0.1;

}  // namespace

// The scripted window system, fed by the batches as they come instead of a whole script.
class LiveGame::Shell : public script::ScriptedShell {
  public:
    Shell(LiveGame& live, const script::RunOptions& options)
        : ScriptedShell({}, options, log_, warnings_), live_(live) {}

    Task DoEvents() override {
        // The replay's CPU time is its own steps', whichever worker ran them.
        if (frame() % 1024 == 0 && live_.CpuSeconds() > kMaxReplayCpuSeconds) {
            Stop(script::RunStop::CpuLimit);
            co_await Forever();
        }
        co_await ScriptedShell::DoEvents();  // the frame limit, and the frame counted
        const int64_t f = frame();
        const double played = game().surface().EmulatedMicros() / 1e6;
        std::shared_ptr<Pending> b;
        for (;;) {
            co_await live_.Front(held_, b);
            arrival_ = b->arrival;
            while (!b->lines.empty() && b->lines.front().at && *b->lines.front().at <= f) {
                if (*b->lines.front().at < f) {
                    live_.Refuse("not-live", "a line for frame " +
                                                 std::to_string(*b->lines.front().at) +
                                                 " came after the frames it said were played");
                    co_await Forever();
                }
                const script::ScriptLine line = b->lines.front();
                b->lines.pop_front();
                co_await Run(line);
                if (Halted()) co_await Forever();
            }
            // An idle line waits for the game's end, and the frames until then run.
            if (!b->lines.empty() || f <= b->reach) break;
            // A batch that brought no frame says the game stood at the last one when it
            // came: marks that never move on are a game in slow motion, unless a dialog
            // holds it. One that the replay has not met yet must open in this frame.
            if (b->dialog && !held_) {
                held_ = true;
                claimed_ = f;
                const std::lock_guard<std::mutex> hold(live_.lock_);
                live_.pace_.BeginHold(b->arrival);
            }
            if (!held_ && f > 1 && !b->restored && Check(b->arrival, lastPlayed_)) {
                co_await Forever();
            }
            live_.Done(b);
        }
        if (claimed_ && *claimed_ < f) {
            live_.Refuse("not-live", "the game stood at frame " + std::to_string(*claimed_) +
                                         " for a dialog that did not open");
            co_await Forever();
        }
        held_ = false;
        lastPlayed_ = played;
        std::optional<std::string> why;
        {
            const std::lock_guard<std::mutex> hold(live_.lock_);
            // The game moves on: a pause ends with the batch that brought the frame.
            why = live_.pace_.EndPause(b->arrival);
            live_.progress_ = {f, game().state().score, game().state().numberofstars};
            if (!why && !b->restored) why = live_.pace_.Frame(b->arrival, played);
        }
        if (Refused(why)) co_await Forever();
    }

    // The batch whose lines run between games came then.
    void Arrived(double arrival) { arrival_ = arrival; }

    // A dialog holds the game until the player closes it. One the player opened during
    // the game is a pause; the outcome dialogs end the game and are not.
    Task ShowDialog(Dialog& dialog) override {
        co_await ScriptedShell::ShowDialog(dialog);
        Held();
        if (dynamic_cast<OutcomeDialog*>(dialog.rules)) co_return;
        // Before the first frame the time is the opening's, bounded as a whole.
        std::optional<std::string> why;
        {
            const std::lock_guard<std::mutex> hold(live_.lock_);
            if (live_.pace_.Started()) why = live_.pace_.Counted();
        }
        if (Refused(why)) co_await Forever();
    }

  private:
    // True when the pace check refused the game.
    bool Refused(const std::optional<std::string>& why) {
        if (why) live_.Refuse("not-live", *why);
        return why.has_value();
    }
    bool Check(double arrival, double played) {
        std::optional<std::string> why;
        {
            const std::lock_guard<std::mutex> hold(live_.lock_);
            why = live_.pace_.Frame(arrival, played);
        }
        return Refused(why);
    }
    // Every dialog holds the game; one the player said held it before the replay met it
    // has now opened, and its hold began then.
    void Held() {
        held_ = true;
        if (claimed_ && *claimed_ == frame()) claimed_.reset();
        const std::lock_guard<std::mutex> hold(live_.lock_);
        live_.pace_.BeginHold(arrival_);
    }

    std::string log_, warnings_;  // given to the base before they are made: only referred to
    LiveGame& live_;
    bool held_ = false;
    // The frame in which the player said a dialog held the game before the replay met it.
    std::optional<int64_t> claimed_;
    double arrival_ = 0;  // the arrival of the batch whose lines the replay runs
    double lastPlayed_ = 0;  // the emulated time at the last frame's yield
};

// The replay's own objects: made with the first batch, dropped as it ends.
class LiveGame::Replayer {
  public:
    Replayer(LiveGame& live, const script::RunOptions& options) : shell(live, options), game(shell) {
        shell.AttachGame(game);
        shell.DiscardLog();
    }
    Shell shell;
    Game game;
    Task task;
};

int64_t LiveGame::WallMs(double steadySeconds) {
    const auto wall = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(wall).count() -
           static_cast<int64_t>((Now() - steadySeconds) * 1000);
}

double LiveGame::Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

LiveGame::LiveGame(LivePool& pool, uint64_t seed, PaceRules rules, int64_t maxFrames,
                   double startSeconds, Hooks hooks)
    : seed_(seed),
      lateSeconds_(rules.lateSeconds),
      maxFrames_(maxFrames),
      hooks_(std::move(hooks)),
      pool_(pool),
      pace_(rules, startSeconds) {}

LiveGame::~LiveGame() {
    {
        std::unique_lock<std::mutex> hold(lock_);
        stopping_ = true;
        if (replaying_) {
            pool_.Wake(this);
            finished_.wait(hold, [this] { return !replaying_; });
        }
    }
    pool_.Forget(this);
}

void LiveGame::Begin() {
    if (begun_) return;
    begun_ = true;
    replaying_ = true;
    pool_.Wake(this);
}

bool LiveGame::Expire(double now) {
    std::optional<std::string> why;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        if (begun_ || !(why = pace_.Silence(now, true))) return false;
    }
    return EndUnplayed({std::nullopt, {"not-live", *why}, true}, Answer());
}

bool LiveGame::EndUnplayed(const LiveEnd& end, Answer answer) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        if (over_ || begun_) return false;
        over_ = true;
        after_ = end.refusal;
    }
    hooks_.ended(end, std::move(answer));
    return true;
}

void LiveGame::Batch(LiveLines lines, double arrival, Answer answer) {
    std::optional<int64_t> again;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        const std::optional<int64_t> n = lines.marks.number;
        if (n && *n <= std::max(restored_, taken_) && !over_) {
            // Sent again after a takeover, having been stored before it, or after the
            // replay took it: taken already.
            pace_.Arrived(arrival);
            again = n;
        } else if (!over_) {
            Begin();
            // A client sends each batch on whichever of its connections is free, without
            // waiting for the answer before; two batches close together may reach the
            // hall's loops in either order. One goes before the batches queued and not yet
            // begun that come after it: by their numbers, or else the frames they cover.
            const auto comesAfter = [&lines](const std::shared_ptr<Pending>& p) {
                return lines.marks.number && p->number ? *p->number > *lines.marks.number
                                                       : p->reach > lines.marks.reached;
            };
            auto at = batches_.end();
            while (at != batches_.begin() && !(*std::prev(at))->begun &&
                   !(*std::prev(at))->refusal && comesAfter(*std::prev(at))) {
                --at;
            }
            batches_.insert(at, std::make_shared<Pending>(Pending{
                                    std::deque<script::ScriptLine>(lines.lines.begin(),
                                                                   lines.lines.end()),
                                    lines.marks.reached,
                                    lines.marks.dialog,
                                    lines.marks.number,
                                    arrival,
                                    std::move(lines.text),
                                    std::move(answer),
                                    {}}));
            pace_.Arrived(arrival);
            pool_.Wake(this);
            return;
        }
    }
    if (again) return AnswerAgain(*again, answer);
    answer(After());
}

void LiveGame::Restore(std::vector<LiveLines> batches, Resumed resumed) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (batches.empty()) return;
    Begin();
    resumed_ = resumed;
    takenAt_ = resumed.takenAt;
    const double now = Now();
    for (LiveLines& b : batches) {
        batches_.push_back(std::make_shared<Pending>(
            Pending{std::deque<script::ScriptLine>(b.lines.begin(), b.lines.end()),
                    b.marks.reached, b.marks.dialog, b.marks.number, now, std::move(b.text),
                    Answer(), {}, false, true}));
        if (b.marks.number) {
            restored_ = std::max(restored_, *b.marks.number);
            const std::lock_guard<std::mutex> kept(stored_->lock);
            stored_->numbers.insert(*b.marks.number);
        }
    }
    pace_.Arrived(now);
    pool_.Wake(this);
}

void LiveGame::Refused(Refusal refusal, Answer answer) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        if (!over_ && begun_) {
            batches_.push_back(std::make_shared<Pending>(Pending{
                {}, -1, false, std::nullopt, Now(), "", std::move(answer), std::move(refusal)}));
            pool_.Wake(this);
            return;
        }
    }
    // No replay began: the game ends here, without one.
    if (!EndUnplayed({std::nullopt, refusal, false}, answer)) answer(After());
}

Refusal LiveGame::After() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return after_;
}

LiveProgress LiveGame::Progress() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return progress_;
}

Resumer::Suspension LiveGame::WaitUntil(double until) {
    wakeAt_ = until;
    return waiting_.Suspend();
}

Task LiveGame::Front(bool held, std::shared_ptr<Pending>& out) {
    for (;;) {
        // What the replay does next, decided under the lock and done after it.
        std::optional<Refusal> refuse;
        bool abandoned = false;
        std::shared_ptr<Pending> again;
        double until = 0;
        {
            const std::lock_guard<std::mutex> hold(lock_);
            const double now = Now();
            if (stopping_) {
                refuse = Refusal{"unavailable", "the hall is stopping"};
            } else if (!batches_.empty() && batches_.front()->refusal) {
                refuse = *batches_.front()->refusal;
            } else if (!batches_.empty()) {
                // A numbered batch waits for the ones before it as long as a batch may be
                // late; one without a number waits a moment after its arrival, for one sent
                // before it that comes a little later.
                const std::shared_ptr<Pending> front = batches_.front();
                const std::optional<int64_t> n = front->number;
                const bool next = n && *n == taken_ + 1;
                // A batch that waited for a takeover waits for those before it from then on.
                const double since = std::max(front->arrival, takenAt_);
                const double ready = since + (n ? lateSeconds_ : kReorderSeconds);
                if (!front->begun && n && *n <= taken_) {
                    // Sent again (its answer lost, or the database away when it came): taken
                    // once, answered as that one is.
                    again = front;
                    batches_.pop_front();
                } else if (!front->begun && n && !next && now >= ready) {
                    refuse = Refusal{"not-live",
                                     "batch " + std::to_string(taken_ + 1) + " did not come"};
                } else if (front->begun || next || (!n && now >= ready)) {
                    if (!front->begun) ++taken_;
                    front->begun = true;
                    // The stored batches replayed, the pace goes on from where they came.
                    if (!front->restored && resumed_) {
                        pace_.Resume(resumed_->lastArrival, resumed_->takenAt,
                                     resumed_->pausedSeconds, resumed_->pauses);
                        resumed_.reset();
                    }
                    out = front;
                    co_return;
                } else {
                    until = ready;
                }
            } else if (std::optional<std::string> why = pace_.PauseOverdue(now)) {
                refuse = Refusal{"not-live", *why};
            } else if (std::optional<std::string> silent = pace_.Silence(now, held)) {
                refuse = Refusal{"not-live", *silent};
                abandoned = true;
            } else {
                until = pace_.Deadline(held) + 0.01;
            }
        }
        if (again) {
            AnswerAgain(*again->number, again->answer);
            continue;
        }
        if (refuse) {
            Refuse(refuse->code, refuse->message, abandoned);
            co_await Forever();
        }
        co_await WaitUntil(until);
    }
}

void LiveGame::AnswerAgain(int64_t number, const Answer& answer) {
    if (!answer) return;
    const std::lock_guard<std::mutex> hold(stored_->lock);
    if (stored_->numbers.count(number)) return answer(std::nullopt);
    answer(Refusal{"unavailable", "batch " + std::to_string(number) +
                                      " is not kept yet: send it again"});
}

void LiveGame::Done(const std::shared_ptr<Pending>& batch) {
    LiveProgress progress;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        // A game started again inside this batch's frame may have used it up already.
        if (batches_.empty() || batches_.front() != batch) return;
        batches_.pop_front();
        progress = progress_;
        // Before the game starts too, its hall says when its last batch came.
        progress.arrived = WallMs(batch->arrival);
        progress.paused = static_cast<int64_t>(pace_.PausedSeconds() * 1000);
        progress.pauses = pace_.Pauses();
    }
    if (batch->restored) return;
    // Which numbered batches are kept, for one sent again; told after this game may be gone.
    Answer answer = std::move(batch->answer);
    if (batch->number) {
        answer = [stored = stored_, n = *batch->number, answer](std::optional<Refusal> r) {
            if (!r) {
                const std::lock_guard<std::mutex> hold(stored->lock);
                stored->numbers.insert(n);
            }
            if (answer) answer(std::move(r));
        };
    }
    hooks_.ran(batch->text, progress, std::move(answer));
}

void LiveGame::Refuse(const std::string& code, const std::string& message, bool abandoned) {
    if (!stopped_) stopped_ = LiveEnd{std::nullopt, Refusal{code, message}, abandoned};
}

Task LiveGame::Replay() {
    Shell& shell = replayer_->shell;
    Game& game = replayer_->game;
    game.Main();
    bool ran = false;  // the game has started
    std::set<std::string> checks;
    for (;;) {
        std::shared_ptr<Pending> b;
        co_await Front(true, b);  // between games the time is the player's
        shell.Arrived(b->arrival);
        if (b->lines.empty()) {
            Done(b);
            continue;
        }
        const script::ScriptLine line = b->lines.front();
        b->lines.pop_front();
        co_await shell.Run(line);
        if (shell.Halted()) co_await Forever();
        ran = ran || game.state().gamerunning || shell.frame() > 0;
        if (line.command == script::cmd::kExpect) checks.insert(line.args[0]);
        if (ran && !game.state().gamerunning && checks.size() == script::kRecordedVariables.size())
            co_return;
    }
}

void LiveGame::Step() {
    if (!replayer_) {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            if (!replaying_) return;
        }
        script::RunOptions options;
        options.seed = seed_;
        options.maxFrames = maxFrames_;
        replayer_ = std::make_unique<Replayer>(*this, options);
        replayer_->task = Replay();
    }
    wakeAt_.reset();
    stepCpuStart_ = script::ThreadCpuSeconds();
    try {
        if (waiting_.Waiting()) {
            waiting_.Resume();
        } else if (!stopped_ && !replayer_->shell.Halted()) {
            replayer_->task.Start();
        }
        if (replayer_->task.Done()) replayer_->task.Rethrow();
    } catch (const std::exception& e) {
        Refuse("malformed", e.what());
    }
    cpuSeconds_ += script::ThreadCpuSeconds() - stepCpuStart_;
    if (waiting_.Waiting()) {
        if (wakeAt_) pool_.WakeAt(this, *wakeAt_);
        return;
    }
    Finish();
}

void LiveGame::Finish() {
    LiveEnd end;
    if (stopped_) {
        end = *stopped_;
    } else if (replayer_->shell.Halted()) {
        switch (replayer_->shell.stop()) {
            case script::RunStop::Desync:
                end.refusal = {"desync", replayer_->shell.desync()};
                break;
            case script::RunStop::FrameLimit:
                end.refusal = {"too-long", "the replay reached its frame limit"};
                break;
            case script::RunStop::CpuLimit:
                end.refusal = {"too-long", "the replay reached its 2 s of CPU time"};
                break;
            case script::RunStop::Exited:
            case script::RunStop::Ended:
                end.refusal = {"not-one-game", "the program was closed"};
                break;
        }
    } else {
        end.score = replayer_->game.state().score;
    }
    replayer_.reset();  // its viewscreen too: the game is over for the hall
    std::deque<std::shared_ptr<Pending>> left;
    bool stopping = false;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        over_ = true;
        left.swap(batches_);
        stopping = stopping_;
    }
    const auto finished = [this] {
        const std::lock_guard<std::mutex> hold(lock_);
        replaying_ = false;
        finished_.notify_all();
    };
    if (stopping) {
        // The hall stops: the batches waiting are told so, and nothing is written.
        for (const std::shared_ptr<Pending>& p : left) {
            if (p->answer) p->answer(Refusal{"unavailable", "the hall is stopping"});
        }
        return finished();
    }
    Answer first = left.empty() ? Answer() : std::move(left.front()->answer);
    // The batch that ended the game is passed on and kept like the others.
    if (end.score && !left.empty() && !left.front()->restored)
        hooks_.ran(left.front()->text, Progress(), Answer());
    const Refusal after = end.score ? Refusal{"live-over", "this live game is over"} : end.refusal;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        after_ = after;
    }
    for (size_t i = 1; i < left.size(); ++i) {
        if (left[i]->answer) left[i]->answer(after);
    }
    hooks_.ended(end, std::move(first));
    finished();
}

}  // namespace korvane::hall
