#pragma once
// The game's own random generator (SplitMix64), so that one seed gives the same game on
// every build and in every tool.

#include <cstdint>

namespace korvane {

class Random {
  public:
    void Seed(uint64_t seed) { state_ = seed; }

    uint64_t NextBits() {
        state_ += 0x9E3779B97F4A7C15ull;
        uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A fresh r uniform in [0, 1).
    double NextUnit() { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }

    // rand(n) = floor(r x n): 0 .. n - 1.
    int32_t Rand(int32_t n) { return static_cast<int32_t>(NextUnit() * n); }

  private:
    uint64_t state_ = 0;
};

}  // namespace korvane
