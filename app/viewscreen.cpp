#include "viewscreen.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <array>

#include "key_codes.h"
#include "surface.h"

namespace korvane {

QPixmap ViewscreenCursorPixmap() {
    // One arm pointing up, from the centre: shaft 5 pixels wide, head 9 wide, tip 10 away.
    // The other three arms are the same arm turned by quarter turns.
    static constexpr std::array<QPoint, 6> kArm = {QPoint(-2, -6), QPoint(-4, -6), QPoint(0, -10),
                                                   QPoint(4, -6),  QPoint(2, -6),  QPoint(2, -2)};
    QPolygon arrow;
    for (int turn = 0; turn < 4; ++turn) {
        for (QPoint p : kArm) {
            for (int t = 0; t < turn; ++t) p = QPoint(-p.y(), p.x());
            arrow << p + QPoint(kCursorHotSpot, kCursorHotSpot);
        }
    }
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(0, 0, 128));
    p.drawPolygon(arrow);
    p.end();
    return QPixmap::fromImage(image);
}

void PixelsToImage(const Color* pixels, int width, int height, QImage& image) {
    if (image.size() != QSize(width, height) || image.format() != QImage::Format_RGB32) {
        image = QImage(width, height, QImage::Format_RGB32);
    }
    for (int py = 0; py < height; ++py) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        const Color* row = pixels + static_cast<size_t>(py) * static_cast<size_t>(width);
        for (int px = 0; px < width; ++px) {
            const Color c = row[px];
            line[px] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                            static_cast<int>((c >> 16) & 0xFF));
        }
    }
}

void SurfaceToImage(const Surface& surface, QImage& image) {
    PixelsToImage(surface.Pixels().data(), Surface::kWidth, Surface::kHeight, image);
}

Viewscreen::Viewscreen(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(QCursor(ViewscreenCursorPixmap(), kCursorHotSpot, kCursorHotSpot));
}

void Viewscreen::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    if (!surface_) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    SurfaceToImage(*surface_, image_);
    // On a high-DPI screen every game pixel becomes a crisp block, never a blur.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(rect(), image_);
}

void Viewscreen::mouseReleaseEvent(QMouseEvent* event) {
    int button = 0;
    switch (event->button()) {
        case Qt::LeftButton:
            button = kLeftButton;
            break;
        case Qt::RightButton:
            button = kRightButton;
            break;
        case Qt::MiddleButton:
            button = kMiddleButton;
            break;
        default:
            break;
    }
    // A release outside after a press inside arrives here too, with its position outside.
    if (button != 0 && onMouseUp) {
        const QPointF at = event->position();
        onMouseUp(button, ShiftBits(event->modifiers()), at.x(), at.y());
    }
    event->accept();
}

}  // namespace korvane
