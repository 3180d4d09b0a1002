#pragma once
// The workers that step every live game. A game is stepped when a batch of its lines arrives
// or when a moment it waits for comes (a late batch's grace, the pace check's deadline); a
// worker runs it until it waits again, then takes the next game that can go on. So the
// hall's threads do not grow with its live games: a game that waits is a few objects in
// memory, not a sleeping thread.

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace korvane::hall {

class LivePool {
  public:
    // What the pool steps: Step runs on a worker, never on two at once for one stepper.
    class Stepper {
      public:
        virtual void Step() = 0;

      protected:
        ~Stepper() = default;
    };

    explicit LivePool(unsigned workers);
    ~LivePool();
    LivePool(const LivePool&) = delete;
    LivePool& operator=(const LivePool&) = delete;

    // Steps it soon; if it is being stepped now, once more after that.
    void Wake(Stepper* stepper);
    // Steps it at `when` (LiveGame::Now's clock) unless woken before; a later call replaces it.
    void WakeAt(Stepper* stepper, double when);
    // Forgets it: after this, it is not stepped again. Waits for a step in progress, unless
    // called from that step.
    void Forget(Stepper* stepper);

  private:
    struct State {
        bool queued = false;
        bool running = false;
        bool again = false;
        std::thread::id runner;
        std::multimap<double, Stepper*>::iterator timer;
        bool timed = false;
    };
    void Work();
    void Queue(Stepper* stepper, State& state);
    void DropTimer(State& state);

    std::mutex lock_;
    std::condition_variable wake_;  // the workers: a stepper ready or a timer due
    std::condition_variable done_;  // Forget: a step has ended
    std::deque<Stepper*> ready_;
    std::multimap<double, Stepper*> timers_;
    std::unordered_map<Stepper*, State> states_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace korvane::hall
