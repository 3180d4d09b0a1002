// The falling stars: drawn only on black, erased only where their yellow still shows, so
// every other figure stays in front of them.

#include <algorithm>

#include "game.h"

namespace korvane {

void Game::StarField() {
    GameState& s = state_;
    const int last = std::min<int>(s.numberofstars, kMaxStars);  // the table ends at 500
    const auto yellow = static_cast<int32_t>(kYellow);
    int32_t read = s.zz;
    int i = 0;
    // The erase test is against the yellow that every star has, not the star's own colour.
    for (i = 0; i <= last; ++i) {
        read = static_cast<int32_t>(surface_.GetPixel(s.starx[i], s.stary[i]));
        if (read == yellow) surface_.SetPixelV(s.starx[i], s.stary[i], kBlack);
    }
    for (i = 0; i <= last; ++i) {
        ++s.stary[i];
        if (s.stary[i] == Surface::kHeight) s.stary[i] = 0;  // back in at the top
    }
    for (i = 0; i <= last; ++i) {
        read = static_cast<int32_t>(surface_.GetPixel(s.starx[i], s.stary[i]));
        if (read == static_cast<int32_t>(kBlack)) {
            surface_.SetPixelV(s.starx[i], s.stary[i], static_cast<Color>(s.starcolor[i]));
        }
    }
    s.zz = read;
    s.starindex = i;
}

}  // namespace korvane
