#pragma once
// The picture of the absorption dialog: two rows of green Vessik glyphs on black, made by
// code from a fixed seed so that it is the same on every run, every build and in both front
// ends. Pixels are laid out as the viewscreen's, 0x00BBGGRR.

#include <cstdint>
#include <vector>

#include "colors.h"

namespace korvane {

inline constexpr int kVessikPictureWidth = 392;
inline constexpr int kVessikPictureHeight = 81;

// The two greens of the glyphs: the dark shadow and the lit stroke.
inline constexpr Color kVessikDarkGreen = Rgb(0, 109, 0);
inline constexpr Color kVessikLightGreen = Rgb(0, 146, 0);

// Row by row, kVessikPictureWidth pixels each.
std::vector<Color> VessikPicture();

}  // namespace korvane
