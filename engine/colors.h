#pragma once
// Colours as the viewscreen stores them: 0x00BBGGRR, red in the low byte.

#include <cstdint>

namespace korvane {

using Color = uint32_t;

constexpr Color Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kYellow = Rgb(255, 255, 0);   // 65535
constexpr Color kWhite = Rgb(255, 255, 255);  // 16777215
constexpr Color kCyan = Rgb(0, 255, 255);     // 16776960
constexpr Color kRed = Rgb(255, 0, 0);        // 255
constexpr Color kGreen = Rgb(0, 255, 0);      // 65280
constexpr Color kBlue = Rgb(0, 0, 255);
constexpr Color kGrey = Rgb(128, 128, 128);
constexpr Color kLightGrey = Rgb(192, 192, 192);
constexpr Color kTeal = Rgb(0, 77, 68);
constexpr Color kInvalidColor = 0xFFFFFFFFu;  // what a read outside the viewscreen gives

// The 16-colour palette.
constexpr Color QBColor(int n) {
    constexpr Color palette[16] = {
        Rgb(0, 0, 0),       Rgb(0, 0, 128),   Rgb(0, 128, 0),   Rgb(0, 128, 128),
        Rgb(128, 0, 0),     Rgb(128, 0, 128), Rgb(128, 128, 0), Rgb(192, 192, 192),
        Rgb(128, 128, 128), Rgb(0, 0, 255),   Rgb(0, 255, 0),   Rgb(0, 255, 255),
        Rgb(255, 0, 0),     Rgb(255, 0, 255), Rgb(255, 255, 0), Rgb(255, 255, 255)};
    return palette[n & 15];
}

}  // namespace korvane
