#include "pacer.h"

#include <chrono>
#include <cmath>

namespace korvane {

double Pacer::Lead(double emulatedMicros) {
    const double now = clock_();
    if (!started_ || emulatedMicros < emulatedStart_) {
        Reference(now, emulatedMicros);
        return 0.0;
    }
    const double lead = (emulatedMicros - emulatedStart_) - (now - realStart_);
    if (lead < -toleratedLate_) {
        // Too slow a machine: the game simply runs slower, as it did on a slow PC.
        Reference(now, emulatedMicros);
        return 0.0;
    }
    return lead >= kMinWaitMicros ? lead : 0.0;
}

double Pacer::BatchWait(double emulatedMicros, double refreshMicros) {
    const double lead = Lead(emulatedMicros);
    if (refreshMicros <= 0.0) return lead;
    return lead >= refreshMicros ? std::floor(lead / refreshMicros) * refreshMicros : 0.0;
}

double Pacer::SteadyMicros() {
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace korvane
