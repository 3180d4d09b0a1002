#include "surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace korvane {

namespace {
constexpr uint64_t kExponentBits = 0x7FF0'0000'0000'0000;
}  // namespace

Surface::Surface() : pixels_(static_cast<size_t>(kWidth * kHeight), kBlack ^ kStoredFlip) {}

void Surface::BitBlt(const Sprite& sprite, int left, int top) {
    const int col0 = std::max(0, -left);
    const int row0 = std::max(0, -top);
    const int col1 = std::min(sprite.width(), kWidth - left);
    const int row1 = std::min(sprite.height(), kHeight - top);
    emulatedMicros_ += cost::kBlitCall + cost::kBlitPerPixel * sprite.width() * sprite.height();
    topCircle_.painted = -1;
    if (col1 <= col0 || row1 <= row0) return;  // wholly outside the viewscreen
    blank_ = false;
    for (int row = row0; row < row1; ++row) {
        std::copy_n(sprite.StoredRow(row, col0), col1 - col0,
                    &pixels_[Index(left + col0, top + row)]);
    }
}

void Surface::MoveSprite(const Sprite& eraser, int oldLeft, int oldTop, const Sprite& sprite,
                         int left, int top) {
    const int width = sprite.width();
    const int height = sprite.height();
    if (!eraser.solid() || eraser.width() != width || eraser.height() != height) {
        BitBlt(eraser, oldLeft, oldTop);
        BitBlt(sprite, left, top);
        return;
    }
    emulatedMicros_ += cost::kBlitCall + cost::kBlitPerPixel * width * height;  // the erase
    const Color stored = eraser.pixels()[0] ^ kStoredFlip;
    for (int row = std::max(0, oldTop); row < std::min(kHeight, oldTop + height); ++row) {
        if (row >= top && row < top + height) {  // erased left and right of the new copy
            FillSpan(row, oldLeft, std::min(oldLeft + width, left), stored);
            FillSpan(row, std::max(oldLeft, left + width), oldLeft + width, stored);
        } else {
            FillSpan(row, oldLeft, oldLeft + width, stored);
        }
    }
    BitBlt(sprite, left, top);
}

void Surface::FillSpan(int row, int from, int to, Color stored) {
    from = std::max(from, 0);
    to = std::min(to, kWidth);
    if (from >= to) return;
    std::fill(&pixels_[Index(from, row)], &pixels_[Index(to - 1, row)] + 1, stored);
    blank_ = false;
}

bool Surface::WholeMicrosAddExactly(double micros) const {
    // The clock is a multiple of the weight of its last bit, which is at most 1 below 2^53;
    // so is every whole number of microseconds. Adding such numbers one at a time or their
    // sum at once then gives the same clock, each partial sum being exact, as long as the
    // clock stays below the power of two above it, where that weight doubles.
    const double clock = emulatedMicros_;
    if (!(clock >= 0.0 && clock < 0x1p53)) return false;
    if (clock == 0.0) return micros < 0x1p53;
    // The clock's own power of two: its bits with the mantissa cleared.
    uint64_t bits = 0;
    std::memcpy(&bits, &clock, sizeof bits);
    bits &= kExponentBits;
    double power = 0.0;
    std::memcpy(&power, &bits, sizeof power);
    if (power == 0.0) return false;  // denormal: never a clock of play
    return clock + micros < 2 * power;
}

bool Surface::AllInside(const int16_t* xs, const int16_t* ys, int count) {
    // Branch-free, so that the compiler checks eight points at a time.
    uint16_t widest = 0, deepest = 0;
    for (int i = 0; i < count; ++i) {
        widest = std::max(widest, static_cast<uint16_t>(xs[i]));
        deepest = std::max(deepest, static_cast<uint16_t>(ys[i]));
    }
    return widest < kWidth && deepest < kHeight;  // a negative one is beyond both
}

void Surface::Line(int x1, int y1, int x2, int y2, Color c) {
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    emulatedMicros_ += cost::kLineCall + cost::kLinePerPixel * (std::max(dx, -dy) + 1);
    topCircle_.painted = -1;
    for (;;) {
        Plot(x1, y1, c);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

double Surface::PaintFigure(const std::vector<Point>& outline, Color outlineColor) {
    topCircle_.painted = -1;
    blank_ = false;
    double painted = static_cast<double>(outline.size());
    if (fillStyle_ == kFillSolid && !outline.empty()) {
        int top = outline.front().py, bottom = top;
        for (const Point& p : outline) {
            top = std::min(top, p.py);
            bottom = std::max(bottom, p.py);
        }
        const int rows = bottom - top + 1;
        const Color storedFill = fillColor_ ^ kStoredFlip;
        std::vector<int>& lo = rowLeft_;
        std::vector<int>& hi = rowRight_;
        lo.assign(static_cast<size_t>(rows), 1 << 30);
        hi.assign(static_cast<size_t>(rows), -(1 << 30));
        for (const Point& p : outline) {
            auto r = static_cast<size_t>(p.py - top);
            lo[r] = std::min(lo[r], p.px);
            hi[r] = std::max(hi[r], p.px);
        }
        for (int r = 0; r < rows; ++r) {
            const int row = top + r;
            if (row < 0 || row >= kHeight) continue;
            const int from = std::max(0, lo[static_cast<size_t>(r)]);
            const int to = std::min(kWidth - 1, hi[static_cast<size_t>(r)]);
            for (int col = from; col <= to; ++col) pixels_[Index(col, row)] = storedFill;
            painted += std::max(0, to - from + 1);
        }
    }
    for (const Point& p : outline) Plot(p.px, p.py, outlineColor);
    emulatedMicros_ += cost::kFigureCall + cost::kFigurePerPixel * painted;
    return painted;
}

void Surface::Circle(int cx, int cy, int r, Color c) {
    CircleCall call{cx, cy, r, c, fillStyle_, fillColor_};
    if (topCircle_.painted >= 0 && topCircle_.Same(call)) {
        // Painting a figure over itself writes each pixel as it already is.
        emulatedMicros_ += cost::kFigureCall + cost::kFigurePerPixel * topCircle_.painted;
        return;
    }
    scratch_.clear();
    if (r <= 0) {
        scratch_.push_back({cx, cy});
    } else {
        // Midpoint circle: 8-connected, exact and repeatable.
        int px = -r, py = 0, err = 2 - 2 * r;
        do {
            scratch_.push_back({cx - px, cy + py});
            scratch_.push_back({cx - py, cy - px});
            scratch_.push_back({cx + px, cy - py});
            scratch_.push_back({cx + py, cy + px});
            const int e = err;
            if (e <= py) err += ++py * 2 + 1;
            if (e > px || err > py) err += ++px * 2 + 1;
        } while (px < 0);
    }
    call.painted = PaintFigure(scratch_, c);
    topCircle_ = call;
}

int32_t Surface::CreatePen(Color c) {
    pens_.emplace_back(true, c);
    return static_cast<int32_t>(pens_.size());
}

void Surface::DeleteObject(int32_t pen) {
    if (pen >= 1 && static_cast<size_t>(pen) <= pens_.size()) {
        pens_[static_cast<size_t>(pen - 1)].first = false;
    }
}

void Surface::Ellipse(int left, int top, int right, int bottom) {
    if (selectedPen_ < 1 || static_cast<size_t>(selectedPen_) > pens_.size()) return;
    const auto& pen = pens_[static_cast<size_t>(selectedPen_ - 1)];
    if (!pen.first) return;

    // Ellipse inscribed in a rectangle, corners included (integer error-term walk).
    scratch_.clear();
    int64_t x0 = std::min(left, right), x1 = std::max(left, right);
    int64_t y0 = std::min(top, bottom), y1 = std::max(top, bottom);
    int64_t a = x1 - x0, b = y1 - y0, b1 = b & 1;
    int64_t dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
    int64_t err = dx + dy + b1 * a * a;
    y0 += (b + 1) / 2;
    y1 = y0 - b1;
    a *= 8 * a;
    b1 = 8 * b * b;
    auto add = [this](int64_t px, int64_t py) {
        scratch_.push_back({static_cast<int>(px), static_cast<int>(py)});
    };
    do {
        add(x1, y0);
        add(x0, y0);
        add(x0, y1);
        add(x1, y1);
        const int64_t e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += a;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += b1;
        }
    } while (x0 <= x1);
    while (y0 - y1 < b) {  // the tips of very flat ellipses
        add(x0 - 1, y0);
        add(x1 + 1, y0++);
        add(x0 - 1, y1);
        add(x1 + 1, y1--);
    }
    PaintFigure(scratch_, pen.second);
}

void Surface::Clear() {
    topCircle_.painted = -1;
    if (!blank_) std::fill(pixels_.begin(), pixels_.end(), kBlack ^ kStoredFlip);
    blank_ = true;
    emulatedMicros_ += cost::kClear;
}

}  // namespace korvane
