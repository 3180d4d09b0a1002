#pragma once
// Keeps the game at the pace of the period PC it was made for. The engine counts the
// emulated time its drawing would have taken; the pacer tells the yield how far that time
// is ahead of the real time since a reference point. Lead below a millisecond is not worth
// a wait and is carried into the next frames; when the machine falls behind, the reference
// moves up so that no debt piles up into a burst of frames later.

#include <cstdint>
#include <functional>

namespace korvane {

class Pacer {
  public:
    // Real time in microseconds from any fixed origin, never going back.
    using Clock = std::function<double()>;

    // Leads shorter than this are carried over rather than waited for.
    static constexpr double kMinWaitMicros = 1000.0;

    // toleratedLateMicros: how far real time may run ahead before the reference moves up.
    // Up to that, frames run back to back until the game has caught up: a wait that
    // oversleeps a little (a browser's timers) costs no pace.
    explicit Pacer(Clock clock, double toleratedLateMicros = 0.0)
        : clock_(std::move(clock)), toleratedLate_(toleratedLateMicros) {}

    // The microseconds to wait now, given the emulated time so far: 0 when there is
    // nothing worth waiting for.
    double Lead(double emulatedMicros);

    // The microseconds to wait before the next frame when the frames are shown once per
    // display refresh of `refreshMicros`: 0 while the game is due again before the next
    // refresh, so that the frames due by then run back to back (each still with its own
    // yield for input), otherwise whole refreshes, leaving the lead of less than one for
    // the next batch. The pace is the same as waiting out every frame's lead; the program
    // wakes once per refresh instead of once per frame.
    double BatchWait(double emulatedMicros, double refreshMicros);

    // Forget the reference: the next call starts afresh. After a modal window, whose time
    // is the player's and not the game's.
    void Restart() { started_ = false; }

    // Whole milliseconds to wait for a lead; the part below a millisecond stays as lead
    // for the next frame.
    static int WaitMillis(double leadMicros) { return static_cast<int>(leadMicros / 1000.0); }

    // The real clock of the program: steady, in microseconds.
    static double SteadyMicros();

  private:
    void Reference(double now, double emulatedMicros) {
        realStart_ = now;
        emulatedStart_ = emulatedMicros;
        started_ = true;
    }

    Clock clock_;
    double toleratedLate_ = 0.0;
    bool started_ = false;
    double realStart_ = 0.0;
    double emulatedStart_ = 0.0;
};

}  // namespace korvane
