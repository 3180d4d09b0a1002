#include "sprite.h"

#include <utility>

#include "surface.h"

namespace korvane {

Sprite::Sprite(int width, int height, std::vector<Color> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)), stored_(pixels_) {
    for (Color& c : stored_) c ^= Surface::kStoredFlip;
}

}  // namespace korvane
