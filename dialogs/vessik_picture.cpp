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

struct Node {
    int x;
    int y;
};
struct Stroke {
    Node from;
    Node to;
};

bool OnGrid(Node n) {
    return n.x >= 0 && n.x < kNodesAcross && n.y >= 0 && n.y < kNodesDown;
}

// Picks the strokes of one glyph: a spine down one column, then random steps between
// neighbouring nodes, across, down or slanting.
std::vector<Stroke> GlyphStrokes(Random& random) {
    std::vector<Stroke> strokes;
    const int spine = random.Rand(kNodesAcross);
    const int top = random.Rand(2);
    const int bottom = kNodesDown - 1 - random.Rand(2);
    strokes.push_back({{spine, top}, {spine, bottom}});
    const int extra = 2 + random.Rand(3);
    for (int i = 0; i < extra; ++i) {
        // The node's row is drawn before its column.
        const int row = random.Rand(kNodesDown);
        const Node from{random.Rand(kNodesAcross), row};
        static constexpr std::array<Node, 4> kSteps = {{{1, 0}, {0, 1}, {1, 1}, {-1, 1}}};
        const Node step = kSteps[static_cast<size_t>(random.Rand(4))];
        Node to{from.x + step.x, from.y + step.y};
        if (!OnGrid(to)) to = {from.x - step.x, from.y - step.y};
        if (OnGrid(to)) strokes.push_back({from, to});
    }
    return strokes;
}

class Picture {
  public:
    Picture() : pixels_(kVessikPictureWidth * kVessikPictureHeight, kBlack) {}

    // A stroke two pixels wide with square ends: every pixel whose centre lies inside the
    // rectangle that reaches one pixel beyond the line on every side.
    void Stroke(double x0, double y0, double x1, double y1, Color colour) {
        const double length = std::hypot(x1 - x0, y1 - y0);
        const double dx = (x1 - x0) / length;
        const double dy = (y1 - y0) / length;
        const int left = static_cast<int>(std::floor(std::min(x0, x1))) - 2;
        const int right = static_cast<int>(std::ceil(std::max(x0, x1))) + 2;
        const int top = static_cast<int>(std::floor(std::min(y0, y1))) - 2;
        const int bottom = static_cast<int>(std::ceil(std::max(y0, y1))) + 2;
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                const double px = x + 0.5 - x0;
                const double py = y + 0.5 - y0;
                const double along = px * dx + py * dy;
                const double across = px * dy - py * dx;
                if (along >= -1 && along < length + 1 && across > -1 && across <= 1) {
                    Set(x, y, colour);
                }
            }
        }
    }
    void Fill(int left, int top, int width, int height, Color colour) {
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) Set(x, y, colour);
        }
    }
    std::vector<Color> Take() { return std::move(pixels_); }

  private:
    void Set(int x, int y, Color colour) {
        if (x < 0 || y < 0 || x >= kVessikPictureWidth || y >= kVessikPictureHeight) return;
        pixels_[static_cast<size_t>(y * kVessikPictureWidth + x)] = colour;
    }
    std::vector<Color> pixels_;
};

}  // namespace

std::vector<Color> VessikPicture() {
    Picture picture;
    Random random;
    random.Seed(kPictureSeed);
    for (const int rowTop : kRowTops) {
        for (int g = 0; g < kGlyphsPerRow; ++g) {
            const int originX = kFirstColumn + g * kCellWidth + 1;
            const std::vector<Stroke> strokes = GlyphStrokes(random);
            // Shadow first, one pixel down and right, then the lit stroke over it.
            for (const auto& [colour, offset] :
                 {std::pair{kVessikDarkGreen, 1}, std::pair{kVessikLightGreen, 0}}) {
                for (const Stroke& s : strokes) {
                    picture.Stroke(originX + s.from.x * kNodeStepX + offset,
                                   rowTop + s.from.y * kNodeStepY + offset,
                                   originX + s.to.x * kNodeStepX + offset,
                                   rowTop + s.to.y * kNodeStepY + offset, colour);
                }
            }
            // Some glyphs carry a dot above them, as the Vessik script marks its vowels.
            if (random.Rand(3) == 0) {
                picture.Fill(originX + kNodeStepX - 1, rowTop - 4, 3, 2, kVessikDarkGreen);
            }
        }
    }
    return picture.Take();
}

}  // namespace korvane
