#include "live_pool.h"

#include <algorithm>
#include <chrono>

#include "live_game.h"

namespace korvane::hall {

LivePool::LivePool(unsigned workers) {
    for (unsigned i = 0; i < std::max(1u, workers); ++i) workers_.emplace_back([this] { Work(); });
}

LivePool::~LivePool() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void LivePool::Queue(Stepper* stepper, State& state) {
    if (state.running) {
        state.again = true;
        return;
    }
    if (state.queued) return;
    state.queued = true;
    ready_.push_back(stepper);
    wake_.notify_one();
}

void LivePool::DropTimer(State& state) {
    if (!state.timed) return;
    timers_.erase(state.timer);
    state.timed = false;
}

void LivePool::Wake(Stepper* stepper) {
    const std::lock_guard<std::mutex> hold(lock_);
    State& state = states_[stepper];
    DropTimer(state);
    Queue(stepper, state);
}

void LivePool::WakeAt(Stepper* stepper, double when) {
    const std::lock_guard<std::mutex> hold(lock_);
    State& state = states_[stepper];
    DropTimer(state);
    state.timer = timers_.emplace(when, stepper);
    state.timed = true;
    // A worker asleep until a later moment must wake for this one.
    if (state.timer == timers_.begin()) wake_.notify_one();
}

void LivePool::Forget(Stepper* stepper) {
    std::unique_lock<std::mutex> hold(lock_);
    const auto it = states_.find(stepper);
    if (it == states_.end()) return;
    if (it->second.runner != std::this_thread::get_id()) {
        done_.wait(hold, [&] { return !it->second.running; });
    }
    DropTimer(it->second);
    if (it->second.queued) ready_.erase(std::find(ready_.begin(), ready_.end(), stepper));
    if (it->second.running) {
        // Forgotten by its own step: the worker drops it when the step returns.
        it->second.again = false;
        it->second.runner = {};
        return;
    }
    states_.erase(it);
}

void LivePool::Work() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        const double now = LiveGame::Now();
        while (!timers_.empty() && timers_.begin()->first <= now) {
            Stepper* due = timers_.begin()->second;
            State& state = states_[due];
            DropTimer(state);
            Queue(due, state);
        }
        if (stopping_) return;
        if (ready_.empty()) {
            if (timers_.empty()) {
                wake_.wait(hold);
            } else {
                wake_.wait_for(hold, std::chrono::duration<double>(timers_.begin()->first - now));
            }
            continue;
        }
        Stepper* stepper = ready_.front();
        ready_.pop_front();
        State* state = &states_[stepper];
        state->queued = false;
        state->running = true;
        state->runner = std::this_thread::get_id();
        hold.unlock();
        stepper->Step();
        hold.lock();
        const auto it = states_.find(stepper);
        if (it == states_.end()) continue;
        state = &it->second;
        state->running = false;
        const bool forgotten = state->runner != std::this_thread::get_id();
        state->runner = {};
        if (forgotten) {
            DropTimer(*state);
            states_.erase(it);
        } else if (std::exchange(state->again, false)) {
            Queue(stepper, *state);
        }
        done_.notify_all();
    }
}

}  // namespace korvane::hall
