// The falling stars: drawn only on black, erased only where their yellow still shows, so
// every other figure stays in front of them.

#include <algorithm>

#include "game.h"

namespace korvane {

void Game::StarField() {
    GameState& s = state_;
    // The table ends at 500; one star more than the count is in the field.
    const int stars = std::max(0, std::min<int>(s.numberofstars, kMaxStars) + 1);
    // Each star is read and, where it shows, set, every read and write charged as a
    // single-pixel call of its own: that is what makes the star count set the game's pace.
    auto read = static_cast<Color>(s.zz);
    // The erase test is against the yellow that every star has, not the star's own colour.
    read = surface_.RecolourPoints(
        s.starx, s.stary, stars, kYellow, [](int) { return kBlack; }, read);
    for (int i = 0; i < stars; ++i) {
        ++s.stary[i];
        if (s.stary[i] == Surface::kHeight) s.stary[i] = 0;  // back in at the top
    }
    read = surface_.RecolourPoints(
        s.starx, s.stary, stars, kBlack, [&s](int i) { return static_cast<Color>(s.starcolor[i]); },
        read);
    s.zz = static_cast<int32_t>(read);
    s.starindex = stars;
}

}  // namespace korvane
