#include "vessik_picture.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "random.h"

namespace korvane {

namespace {

// A glyph is a few strokes on a grid of 3 x 5 nodes, 6 pixels apart across, 7 down.
constexpr int kNodeStepX = 6;
constexpr int kNodeStepY = 7;
constexpr int kNodesAcross = 3;
constexpr int kNodesDown = 5;
constexpr int kCellWidth = 16;
constexpr int kFirstColumn = 4;
constexpr std::array<int, 2> kRowTops = {8, 45};
constexpr int kGlyphsPerRow = 24;

// Fixed so that the picture never changes.
constexpr uint64_t kPictureSeed = 0x5645535349ULL;

// From node (x0, y0) to node (x1, y1).
struct Stroke {
    int x0, y0, x1, y1;
};

bool OnGrid(int x, int y) {
    return x >= 0 && x < kNodesAcross && y >= 0 && y < kNodesDown;
}

// Picks the strokes of one glyph: a spine down one column, then random steps between
// neighbouring nodes, across, down or slanting.
std::vector<Stroke> GlyphStrokes(Random& random) {
    std::vector<Stroke> strokes;
    const int spine = random.Rand(kNodesAcross);
    const int top = random.Rand(2);
    strokes.push_back({spine, top, spine, kNodesDown - 1 - random.Rand(2)});
    const int extra = 2 + random.Rand(3);
    for (int i = 0; i < extra; ++i) {
        const int y = random.Rand(kNodesDown);  // the row is drawn before the column
        const int x = random.Rand(kNodesAcross);
        static constexpr int kSteps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
        const auto& [dx, dy] = kSteps[random.Rand(4)];
        if (OnGrid(x + dx, y + dy)) {
            strokes.push_back({x, y, x + dx, y + dy});
        } else if (OnGrid(x - dx, y - dy)) {
            strokes.push_back({x, y, x - dx, y - dy});
        }
    }
    return strokes;
}

// A stroke two pixels wide with square ends: every pixel whose centre lies inside the
// rectangle that reaches one pixel beyond the line on every side.
void DrawStroke(std::vector<Color>& pixels, double x0, double y0, double x1, double y1,
                Color colour) {
    const double length = std::hypot(x1 - x0, y1 - y0);
    const double dx = (x1 - x0) / length;
    const double dy = (y1 - y0) / length;
    for (int y = static_cast<int>(std::min(y0, y1)) - 2; y <= std::max(y0, y1) + 2; ++y) {
        for (int x = static_cast<int>(std::min(x0, x1)) - 2; x <= std::max(x0, x1) + 2; ++x) {
            const double along = (x + 0.5 - x0) * dx + (y + 0.5 - y0) * dy;
            const double across = (x + 0.5 - x0) * dy - (y + 0.5 - y0) * dx;
            if (along >= -1 && along < length + 1 && across > -1 && across <= 1) {
                pixels[static_cast<size_t>(y * kVessikPictureWidth + x)] = colour;
            }
        }
    }
}

}  // namespace

std::vector<Color> VessikPicture() {
    // The glyphs stand well inside the picture: no stroke reaches its edges.
    std::vector<Color> pixels(kVessikPictureWidth * kVessikPictureHeight, kBlack);
    Random random;
    random.Seed(kPictureSeed);
    for (const int rowTop : kRowTops) {
        for (int g = 0; g < kGlyphsPerRow; ++g) {
            const int left = kFirstColumn + g * kCellWidth + 1;
            const std::vector<Stroke> strokes = GlyphStrokes(random);
            // Shadow first, one pixel down and right, then the lit stroke over it.
            for (const auto& [colour, offset] :
                 {std::pair{kVessikDarkGreen, 1}, std::pair{kVessikLightGreen, 0}}) {
                for (const auto& [x0, y0, x1, y1] : strokes) {
                    DrawStroke(pixels, left + x0 * kNodeStepX + offset,
                               rowTop + y0 * kNodeStepY + offset, left + x1 * kNodeStepX + offset,
                               rowTop + y1 * kNodeStepY + offset, colour);
                }
            }
            // Some glyphs carry a dot above them, as the Vessik script marks its vowels.
            if (random.Rand(3) == 0) {
                for (int y = rowTop - 4; y < rowTop - 2; ++y) {
                    std::fill_n(pixels.begin() + y * kVessikPictureWidth + left + kNodeStepX - 1, 3,
                                kVessikDarkGreen);
                }
            }
        }
    }
    return pixels;
}

}  // namespace korvane
