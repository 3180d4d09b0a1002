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
        topCircle_.painted = -1;
        Plot(px, py, c);
    }
    // A run of single-pixel calls, as a field of points needs them: point i, at (xs[i],
    // ys[i]), is read with GetPixel, and where it shows `from` it is set with SetPixelV
    // to colourOf(i); in order, so a point sees what the points before it did. Returns
    // the last colour read (`lastRead` when there are no points). The pixels and the
    // emulated cost are those of the calls one by one; the calls' overhead is not.
    template <typename ColourOf>
    Color RecolourPoints(const int16_t* xs, const int16_t* ys, int count, Color from,
                         ColourOf colourOf, Color lastRead);

    // Where pixel (px, py) lies in Pixels(), for a point on the viewscreen.
    static uint32_t OffsetOf(int px, int py) { return static_cast<uint32_t>(Index(px, py)); }
    // Whether every one of the points lies on the viewscreen.
    static bool AllInside(const int16_t* xs, const int16_t* ys, int count);
    // RecolourPoints for points on the viewscreen given by their offsets (OffsetOf): the
    // same pixels, emulated cost and result, without working out where each point lies.
    template <typename ColourOf>
    Color RecolourAt(const uint32_t* offsets, int count, Color from, ColourOf colourOf,
                     Color lastRead);

    // A look at a pixel by a viewer or a test: no emulated cost.
    Color PeekPixel(int px, int py) const {
        return Inside(px, py) ? pixels_[Index(px, py)] ^ kStoredFlip : kInvalidColor;
    }

    // Opaque copy (SRCCOPY) of the whole sprite with its top-left corner at (left, top).
    void BitBlt(const Sprite& sprite, int left, int top);

    // BitBlt(eraser, oldLeft, oldTop) then BitBlt(sprite, left, top), the same pixels and
    // the same emulated cost: a figure moved by erasing it and drawing it again. With a
    // solid eraser of the sprite's size only the part of the old place that the new copy
    // does not cover is erased, since the copy paints over the rest anyway.
    void MoveSprite(const Sprite& eraser, int oldLeft, int oldTop, const Sprite& sprite, int left,
                    int top);

    // One-pixel solid line; both end points are painted.
    void Line(int x1, int y1, int x2, int y2, Color c);

    // Outline of the circle of radius r in colour c; with the fill style solid its
    // interior takes the fill colour. A flash paints one circle hundreds of times over:
    // while no pixel has changed since, the same circle again only costs its time.
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
        if (!Inside(px, py)) return;
        pixels_[Index(px, py)] = c ^ kStoredFlip;
        blank_ = false;
    }
    // Whether adding whole microseconds that sum to at most `micros` one at a time gives
    // the same clock as adding their sum at once.
    bool WholeMicrosAddExactly(double micros) const;
    // Columns from..to-1 of a row in a colour as stored, clipped; no emulated cost.
    void FillSpan(int row, int from, int to, Color stored);
    struct Point {
        int px, py;
    };
    // Paints an outline, and before it the interior rows between the outline's left and
    // right ends in the fill colour when the fill style is solid; the pixels it painted.
    double PaintFigure(const std::vector<Point>& outline, Color outlineColor);
    // The circle last painted, while it is the last change to the pixels (painted >= 0).
    struct CircleCall {
        int cx = 0, cy = 0, r = 0;
        Color colour = 0;
        int16_t fillStyle = 0;
        Color fillColour = 0;
        double painted = -1;
        bool Same(const CircleCall& o) const {
            return cx == o.cx && cy == o.cy && r == o.r && colour == o.colour &&
                   fillStyle == o.fillStyle && fillColour == o.fillColour;
        }
    };

    std::vector<Color> pixels_;
    // Every pixel black, as made or cleared: clearing again writes nothing, so a replay that
    // clears its fresh viewscreen at the start does not write all of it twice.
    bool blank_ = true;
    int16_t fillStyle_ = kFillTransparent;
    Color fillColor_ = kBlack;
    int32_t selectedPen_ = 0;
    std::vector<std::pair<bool, Color>> pens_;  // index = handle - 1; first = alive
    std::vector<Point> scratch_;
    std::vector<int> rowLeft_, rowRight_;  // PaintFigure's, kept to spare an allocation
    CircleCall topCircle_;
    double emulatedMicros_ = 0.0;
};

template <typename ColourOf>
Color Surface::RecolourPoints(const int16_t* xs, const int16_t* ys, int count, Color from,
                              ColourOf colourOf, Color lastRead) {
    if (count <= 0) return lastRead;
    topCircle_.painted = -1;
    blank_ = false;
    if (!WholeMicrosAddExactly(count * (cost::kGetPixel + cost::kSetPixel)) ||
        !AllInside(xs, ys, count)) {
        // Near a power of two the clock's rounding depends on the order, and a point off
        // the viewscreen needs the clipping of each call: call by call.
        for (int i = 0; i < count; ++i) {
            lastRead = GetPixel(xs[i], ys[i]);
            if (lastRead == from) SetPixelV(xs[i], ys[i], colourOf(i));
        }
        return lastRead;
    }
    const Color storedFrom = from ^ kStoredFlip;
    Color* const pixels = pixels_.data();
    int set = 0;
    for (int i = 0; i < count; ++i) {
        Color& pixel = pixels[Index(xs[i], ys[i])];
        lastRead = pixel ^ kStoredFlip;
        if (pixel == storedFrom) {
            pixel = colourOf(i) ^ kStoredFlip;
            ++set;
        }
    }
    emulatedMicros_ += count * cost::kGetPixel + set * cost::kSetPixel;
    return lastRead;
}

template <typename ColourOf>
Color Surface::RecolourAt(const uint32_t* offsets, int count, Color from, ColourOf colourOf,
                          Color lastRead) {
    if (count <= 0) return lastRead;
    topCircle_.painted = -1;
    blank_ = false;
    Color* const pixels = pixels_.data();
    if (!WholeMicrosAddExactly(count * (cost::kGetPixel + cost::kSetPixel))) {
        for (int i = 0; i < count; ++i) {  // as GetPixel and SetPixelV, call by call
            emulatedMicros_ += cost::kGetPixel;
            lastRead = pixels[offsets[i]] ^ kStoredFlip;
            if (lastRead == from) {
                emulatedMicros_ += cost::kSetPixel;
                pixels[offsets[i]] = colourOf(i) ^ kStoredFlip;
            }
        }
        return lastRead;
    }
    const Color storedFrom = from ^ kStoredFlip;
    int set = 0;
    // Four points a turn: the loop's own count and test cost as much as a point.
#pragma GCC unroll 4
    for (int i = 0; i < count - 1; ++i) {
        Color& pixel = pixels[offsets[i]];
        if (pixel == storedFrom) {
            pixel = colourOf(i) ^ kStoredFlip;
            ++set;
        }
    }
    // Only the last point's read is given back.
    Color& last = pixels[offsets[count - 1]];
    lastRead = last ^ kStoredFlip;
    if (last == storedFrom) {
        last = colourOf(count - 1) ^ kStoredFlip;
        ++set;
    }
    emulatedMicros_ += count * cost::kGetPixel + set * cost::kSetPixel;
    return lastRead;
}

}  // namespace korvane
