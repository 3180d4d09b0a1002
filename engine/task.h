#pragma once
// A part of the game that may have to wait: for the next frame's yield, for the player to
// close a dialog, for a flash or a sound to end. It is a C++20 coroutine. Where the old
// program ran a nested loop, the game now suspends and hands the thread back to whoever
// stepped it (the window's event loop, the page's animation frame, the hall's replay pool);
// that front end resumes it when the wait is over. Awaited by its caller, a task runs at
// once and hands control back to the caller when it ends, so the rules keep their order.
// A stand-in that never waits (korvane-sim) runs a whole game without one suspension.

#include <coroutine>
#include <exception>
#include <utility>

namespace korvane {

// Resumes h by an ordinary call. In the code of a coroutine's suspension a resume that ends
// it would become a forced tail call (clang's lowering), which a WebAssembly build without
// tail calls cannot make; called from here, it is a call like any other.
[[gnu::noinline]] inline void ResumeFromOutside(std::coroutine_handle<> h) {
    h.resume();
}

class [[nodiscard]] Task {
  public:
    struct promise_type {
        std::coroutine_handle<> caller;
        // The caller waits, suspended, for this task's end: the end resumes it.
        bool callerWaits = false;
        std::exception_ptr error;

        Task get_return_object() {
            return Task(std::coroutine_handle<promise_type>::from_promise(*this));
        }
        // Lazy: the task runs when it is awaited or started.
        std::suspend_always initial_suspend() noexcept { return {}; }
        struct BackToCaller {
            bool await_ready() noexcept { return false; }
            void await_suspend(std::coroutine_handle<promise_type> self) noexcept {
                promise_type& promise = self.promise();
                if (promise.callerWaits) ResumeFromOutside(promise.caller);
            }
            void await_resume() noexcept {}
        };
        BackToCaller final_suspend() noexcept { return {}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept { error = std::current_exception(); }
    };

    // A task that has nothing to do: awaiting it goes straight on.
    Task() = default;
    Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            Destroy();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { Destroy(); }

    // --- Awaited by another task -----------------------------------------------------------
    bool await_ready() const noexcept { return !handle_ || handle_.done(); }
    // Runs the task now. One that ends without waiting lets the caller go straight on, so a
    // game that never waits (korvane-sim's) runs as plain nested calls whose stack unwinds
    // at each task's end; one that waits suspends its caller until its end resumes it. (Not
    // the symmetric transfer of a returned handle: where the compiler makes no tail call of
    // it, as a WebAssembly build without tail calls or an unoptimised build, each awaited
    // task's end would leave a stack frame behind, frame after frame.)
    bool await_suspend(std::coroutine_handle<> caller) {
        promise_type& promise = handle_.promise();
        promise.caller = caller;
        ResumeFromOutside(handle_);
        if (handle_.done()) return false;
        promise.callerWaits = true;
        return true;
    }
    void await_resume() const { Rethrow(); }

    // --- Run from outside, as the outermost task --------------------------------------------
    // Runs it until it first waits or ends.
    void Start() {
        if (handle_ && !handle_.done()) handle_.resume();
    }
    // Whether it has run to its end (a task with nothing to do has).
    bool Done() const noexcept { return !handle_ || handle_.done(); }
    // What went wrong in it, thrown again in the code that stepped it.
    void Rethrow() const {
        if (handle_ && handle_.promise().error) std::rethrow_exception(handle_.promise().error);
    }

  private:
    explicit Task(std::coroutine_handle<promise_type> handle) : handle_(handle) {}
    void Destroy() {
        if (handle_) handle_.destroy();
        handle_ = {};
    }

    std::coroutine_handle<promise_type> handle_;
};

// Where a waiting game stands: the front end that suspended it keeps this and resumes it
// when the wait is over. Awaiting Suspend(where) hands the thread back to the front end.
class Resumer {
  public:
    bool Waiting() const noexcept { return static_cast<bool>(handle_); }
    // Goes on with the game from where it waits. Runs until it waits again or ends.
    void Resume() {
        if (std::coroutine_handle<> h = std::exchange(handle_, {})) h.resume();
    }

    struct Suspension {
        Resumer& resumer;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> h) noexcept { resumer.handle_ = h; }
        void await_resume() const noexcept {}
    };
    // co_await resumer.Suspend(): the game waits here until Resume().
    Suspension Suspend() noexcept { return {*this}; }

  private:
    std::coroutine_handle<> handle_;
};

// co_await Forever(): the game stops here for good; its owner drops it, which frees every
// task it was running.
struct Forever {
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<>) const noexcept {}
    void await_resume() const noexcept {}
};

}  // namespace korvane
