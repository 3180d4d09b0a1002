#pragma once
// The picture of the absorption dialog: two rows of green Vessik glyphs on black, made by
// code from a fixed seed so that it is the same on every run and every build.

#include <QImage>

namespace korvane {

inline constexpr int kVessikPictureWidth = 392;
inline constexpr int kVessikPictureHeight = 81;

// The two greens of the glyphs: the dark shadow and the lit stroke.
inline constexpr QRgb kVessikDarkGreen = 0xFF006D00;   // RGB(0,109,0)
inline constexpr QRgb kVessikLightGreen = 0xFF009200;  // RGB(0,146,0)

QImage VessikPicture();

}  // namespace korvane
