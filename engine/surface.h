#pragma once
// The viewscreen: a 642 x 482 pixel surface that the game draws on and reads back exactly.
// Every operation clips at the edges; a read outside gives kInvalidColor. The fill state and
// the selected pen belong to the surface and keep their values until set again, from frame
// to frame and from game to game.

#include <array>
#include <cstdint>
#include <vector>

#include "colors.h"
#include "emulated_cost.h"
#include "sprite.h"

namespace korvane {

enum FillStyleValue : int16_t { kFillSolid = 0, kFillTransparent = 1 };

class Surface {
  public:
    static constexpr int kWidth = 642;
    static constexpr int kHeight = 482;

    Surface();

    Color GetPixel(int px, int py) {
        emulatedMicros_ += cost::kGetPixel;
        if (!Inside(px, py)) return kInvalidColor;
        return pixels_[Index(px, py)] ^ kStoredFlip;
    }
    void SetPixelV(int px, int py, Color c) {
        emulatedMicros_ += cost::kSetPixel;
        Plot(px, py, c);
    }
    // A look at a pixel by a viewer or a test: no emulated cost.
    Color PeekPixel(int px, int py) const {
        return Inside(px, py) ? pixels_[Index(px, py)] ^ kStoredFlip : kInvalidColor;
    }

    // Opaque copy (SRCCOPY) of the whole sprite with its top-left corner at (left, top).
    void BitBlt(const Sprite& sprite, int left, int top);

    // One-pixel solid line; both end points are painted.
    void Line(int x1, int y1, int x2, int y2, Color c);

    // Outline of the circle of radius r in colour c; with the fill style solid its
    // interior takes the fill colour.
    void Circle(int cx, int cy, int r, Color c);

    void FillStyle(int16_t style) { fillStyle_ = style; }
    void FillColor(Color c) { fillColor_ = c; }
    int16_t fillStyle() const { return fillStyle_; }
    Color fillColor() const { return fillColor_; }

    // Pens: handles from 1 up; a deleted or unknown pen draws nothing.
    int32_t CreatePen(Color c);
    void SelectObject(int32_t pen) { selectedPen_ = pen; }
    void DeleteObject(int32_t pen);
    int32_t selectedPen() const { return selectedPen_; }

    // Outline of the ellipse inscribed in (left, top)-(right, bottom), both corners
    // included, in the selected pen; with the fill style solid its interior takes the
    // fill colour, as the platform's brush would.
    void Ellipse(int left, int top, int right, int bottom);

    // Every pixel back to black. The fill state and pen are not touched.
    void Clear();

    // The pixels as a viewer takes them, row by row: each colour drawn with its top byte
    // flipped, so that every colour of the game (0x00BBGGRR) lies in memory as the bytes R,
    // G, B, 255, an opaque pixel as a browser's canvas takes it, while a read gives back
    // exactly the value drawn. A viewer uses the low three bytes.
    static constexpr Color kStoredFlip = 0xFF000000u;
    const std::vector<Color>& Pixels() const { return pixels_; }

    // The emulated time that the drawing so far would have taken on the period PC; the
    // game's yield and read-outs add theirs through Charge.
    double EmulatedMicros() const { return emulatedMicros_; }
    void Charge(double micros) { emulatedMicros_ += micros; }

  private:
    static bool Inside(int px, int py) {
        return static_cast<unsigned>(px) < kWidth && static_cast<unsigned>(py) < kHeight;
    }
    static size_t Index(int px, int py) { return static_cast<size_t>(py * kWidth + px); }
    void Plot(int px, int py, Color c) {
        if (Inside(px, py)) pixels_[Index(px, py)] = c ^ kStoredFlip;
    }
    struct Point {
        int px, py;
    };
    // Paints an outline, and before it the interior rows between the outline's left and
    // right ends in the fill colour when the fill style is solid.
    void PaintFigure(const std::vector<Point>& outline, Color outlineColor);

    std::vector<Color> pixels_;
    int16_t fillStyle_ = kFillTransparent;
    Color fillColor_ = kBlack;
    int32_t selectedPen_ = 0;
    std::vector<std::pair<bool, Color>> pens_;  // index = handle - 1; first = alive
    std::vector<Point> scratch_;
    double emulatedMicros_ = 0.0;
};

}  // namespace korvane
