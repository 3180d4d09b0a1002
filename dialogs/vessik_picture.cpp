#include "vessik_picture.h"

#include <QPainter>
#include <array>

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

struct Stroke {
    QPoint from;
    QPoint to;
};

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
        const QPoint from(random.Rand(kNodesAcross), random.Rand(kNodesDown));
        static constexpr std::array<QPoint, 4> kSteps = {QPoint(1, 0), QPoint(0, 1), QPoint(1, 1),
                                                         QPoint(-1, 1)};
        const QPoint step = kSteps[static_cast<size_t>(random.Rand(4))];
        QPoint to = from + step;
        if (to.x() < 0 || to.x() >= kNodesAcross || to.y() >= kNodesDown) to = from - step;
        if (to.x() < 0 || to.x() >= kNodesAcross || to.y() < 0) continue;
        strokes.push_back({from, to});
    }
    return strokes;
}

QPoint NodePixel(QPoint origin, QPoint node) {
    return origin + QPoint(node.x() * kNodeStepX, node.y() * kNodeStepY);
}

}  // namespace

QImage VessikPicture() {
    QImage image(kVessikPictureWidth, kVessikPictureHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    Random random;
    random.Seed(kPictureSeed);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);  // only the two greens, never a blend
    for (int row = 0; row < static_cast<int>(kRowTops.size()); ++row) {
        for (int g = 0; g < kGlyphsPerRow; ++g) {
            const QPoint origin(kFirstColumn + g * kCellWidth + 1,
                                kRowTops[static_cast<size_t>(row)]);
            const std::vector<Stroke> strokes = GlyphStrokes(random);
            // Shadow first, one pixel down and right, then the lit stroke over it.
            for (const auto& [colour, offset] : {std::pair{kVessikDarkGreen, QPoint(1, 1)},
                                                 std::pair{kVessikLightGreen, QPoint()}}) {
                p.setPen(QPen(QColor::fromRgb(colour), 2, Qt::SolidLine, Qt::SquareCap));
                for (const Stroke& s : strokes) {
                    p.drawLine(NodePixel(origin, s.from) + offset,
                               NodePixel(origin, s.to) + offset);
                }
            }
            // Some glyphs carry a dot above them, as the Vessik script marks its vowels.
            if (random.Rand(3) == 0) {
                p.fillRect(QRect(origin + QPoint(kNodeStepX - 1, -4), QSize(3, 2)),
                           QColor::fromRgb(kVessikDarkGreen));
            }
        }
    }
    return image;
}

}  // namespace korvane
