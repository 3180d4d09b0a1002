#pragma once
// Where the field's stars lie in the viewscreen's memory. Every frame each star is read and
// written twice and then moves down one row; working out its pixel from its two coordinates
// each time costs more than the read itself, so the offsets are kept from frame to frame
// beside the coordinates they were made from, and made again whenever those differ (a new
// game, another star count, a star placed by hand).

#include <array>
#include <cstdint>

#include "game_state.h"

namespace korvane {

class StarOffsets {
  public:
    // Brings the offsets up to date with the first `count` stars; whether every one of them
    // lies on the viewscreen (only then are the offsets made).
    bool Follow(const int16_t* xs, const int16_t* ys, int count);
    // After every star has moved one row down, to row 0 from the bottom one: the offsets
    // follow without being made again. `ys` are the rows the stars have now.
    void StepDown(const int16_t* ys);
    const uint32_t* offsets() const { return offsets_.data(); }

  private:
    int count_ = -1;  // none made yet
    bool inside_ = false;
    std::array<int16_t, kStarSlots> xs_{};
    std::array<int16_t, kStarSlots> ys_{};
    std::array<uint32_t, kStarSlots> offsets_{};
};

}  // namespace korvane
