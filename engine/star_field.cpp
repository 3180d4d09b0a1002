// The falling stars: drawn only on black, erased only where their yellow still shows, so
// every other figure stays in front of them.

#include "star_field.h"

#include <algorithm>
#include <cstring>

#include "game.h"

namespace korvane {

bool StarOffsets::Follow(const int16_t* xs, const int16_t* ys, int count) {
    const size_t bytes = static_cast<size_t>(count) * sizeof(int16_t);
    if (count == count_ && std::memcmp(xs, xs_.data(), bytes) == 0 &&
        std::memcmp(ys, ys_.data(), bytes) == 0) {
        return inside_;
    }
    count_ = count;
    std::memcpy(xs_.data(), xs, bytes);
    std::memcpy(ys_.data(), ys, bytes);
    inside_ = Surface::AllInside(xs, ys, count);
    if (inside_) {
        for (int i = 0; i < count; ++i) offsets_[i] = Surface::OffsetOf(xs[i], ys[i]);
    }
    return inside_;
}

void StarOffsets::StepDown(const int16_t* ys) {
    if (!inside_) return;  // made again at the next Follow
    // One row down is one row's width further on, and past the bottom row the same column
    // of the top one: on the offsets alone, so that the compiler steps several at a time.
    // Signed, as the compiler compares four at a time only so.
    constexpr int32_t kRow = Surface::kWidth;
    constexpr int32_t kAll = Surface::kHeight * kRow;
    for (int i = 0; i < count_; ++i) {
        const int32_t next = static_cast<int32_t>(offsets_[i]) + kRow;
        offsets_[i] = static_cast<uint32_t>(next >= kAll ? next - kAll : next);
    }
    std::memcpy(ys_.data(), ys, static_cast<size_t>(count_) * sizeof(int16_t));
}

void Game::StarField() {
    GameState& s = state_;
    // The table ends at 500; one star more than the count is in the field.
    const int stars = std::max(0, std::min<int>(s.numberofstars, kMaxStars) + 1);
    // Each star is read and, where it shows, set, every read and write charged as a
    // single-pixel call of its own: that is what makes the star count set the game's pace.
    auto read = static_cast<Color>(s.zz);
    const bool onScreen = starOffsets_.Follow(s.starx, s.stary, stars);
    auto recolour = [&](Color from, auto colourOf) {
        read = onScreen ? surface_.RecolourAt(starOffsets_.offsets(), stars, from, colourOf, read)
                        : surface_.RecolourPoints(s.starx, s.stary, stars, from, colourOf, read);
    };
    // The erase test is against the yellow that every star has, not the star's own colour.
    recolour(kYellow, [](int) { return kBlack; });
    for (int i = 0; i < stars; ++i) {
        ++s.stary[i];
        if (s.stary[i] == Surface::kHeight) s.stary[i] = 0;  // back in at the top
    }
    starOffsets_.StepDown(s.stary);
    recolour(kBlack, [&s](int i) { return static_cast<Color>(s.starcolor[i]); });
    s.zz = static_cast<int32_t>(read);
    s.starindex = stars;
}

}  // namespace korvane
