#pragma once
// A rectangular bitmap that is copied opaquely onto the viewscreen.

#include <cstddef>
#include <vector>

#include "colors.h"

namespace korvane {

struct Sprite {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;  // row-major

    Color At(int col, int row) const { return pixels[static_cast<size_t>(row * width + col)]; }
};

}  // namespace korvane
