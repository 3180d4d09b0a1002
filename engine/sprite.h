#pragma once
// A rectangular bitmap that is copied opaquely onto the viewscreen.

#include <cstddef>
#include <vector>

#include "colors.h"

namespace korvane {

class Sprite {
  public:
    Sprite() = default;
    // `pixels` row-major, width x height of them.
    Sprite(int width, int height, std::vector<Color> pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<Color>& pixels() const { return pixels_; }
    // Whether every pixel has the same colour, as an eraser's have.
    bool solid() const { return solid_; }
    Color At(int col, int row) const { return pixels_[static_cast<size_t>(row * width_ + col)]; }

    // The pixels of a row from `col` on as the viewscreen stores them (surface.h): copying
    // the sprite onto it is then a plain copy of memory, not a conversion of every pixel
    // on every frame.
    const Color* StoredRow(int row, int col) const {
        return &stored_[static_cast<size_t>(row * width_ + col)];
    }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
    std::vector<Color> stored_;  // made once with the sprite, never changed apart
    bool solid_ = false;
};

}  // namespace korvane
