#include "sprite.h"

#include <algorithm>
#include <utility>

#include "surface.h"

namespace korvane {

Sprite::Sprite(int width, int height, std::vector<Color> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)), stored_(pixels_) {
    for (Color& c : stored_) c ^= Surface::kStoredFlip;
    solid_ = !pixels_.empty() && std::all_of(pixels_.begin(), pixels_.end(),
                                             [this](Color c) { return c == pixels_[0]; });
}

}  // namespace korvane
