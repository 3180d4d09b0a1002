#include "viewscreen.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <array>

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

namespace {

// The surface's 0x00BBGGRR pixels to Qt's opaque 0xFFRRGGBB, count of them.
void ConvertPixels(const Color* from, QRgb* to, int count) {
    for (int i = 0; i < count; ++i) {
        const Color c = from[i];
        to[i] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                     static_cast<int>((c >> 16) & 0xFF));
    }
}

}  // namespace

void PixelsToImage(const Color* pixels, int width, int height, QImage& image) {
    if (image.size() != QSize(width, height) || image.format() != QImage::Format_RGB32) {
        image = QImage(width, height, QImage::Format_RGB32);
    }
    for (int py = 0; py < height; ++py) {
        ConvertPixels(pixels + static_cast<size_t>(py) * static_cast<size_t>(width),
                      reinterpret_cast<QRgb*>(image.scanLine(py)), width);
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
    if (ConvertIntoDevice(p)) return;
    SurfaceToImage(*surface_, image_);
    // On a high-DPI screen every game pixel becomes a crisp block, never a blur.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(rect(), image_);
}

bool Viewscreen::ConvertIntoDevice(QPainter& p) {
    // Where the window paints into an image of Qt's own 32-bit pixels at one device pixel a
    // game pixel (the usual screen), the surface is converted straight into it: one pass
    // over the pixels a refresh instead of a conversion and then a copy, which is most of
    // what showing the game costs beyond showing any picture of its size.
    QPaintEngine* engine = p.paintEngine();
    auto* target = engine && engine->type() == QPaintEngine::Raster
                       ? dynamic_cast<QImage*>(engine->paintDevice())
                       : nullptr;
    if (!target || target->devicePixelRatio() != 1.0 ||
        (target->format() != QImage::Format_RGB32 &&
         target->format() != QImage::Format_ARGB32_Premultiplied)) {
        return false;
    }
    const QTransform& toDevice = p.deviceTransform();
    if (toDevice.type() > QTransform::TxTranslate) return false;
    const QRect area = toDevice.mapRect(QRect(0, 0, Surface::kWidth, Surface::kHeight));
    if (!target->rect().contains(area) || size() != area.size()) return false;
    const Color* pixels = surface_->Pixels().data();
    for (int py = 0; py < Surface::kHeight; ++py) {
        ConvertPixels(pixels + static_cast<size_t>(py) * Surface::kWidth,
                      reinterpret_cast<QRgb*>(target->scanLine(area.top() + py)) + area.left(),
                      Surface::kWidth);
    }
    return true;
}

void Viewscreen::mouseReleaseEvent(QMouseEvent* event) {
    const Qt::MouseButton pressed = event->button();
    const int button = pressed == Qt::LeftButton     ? kLeftButton
                       : pressed == Qt::RightButton  ? kRightButton
                       : pressed == Qt::MiddleButton ? kMiddleButton
                                                     : 0;
    // A release outside after a press inside arrives here too, with its position outside.
    if (button != 0 && onMouseUp) {
        const QPointF at = event->position();
        onMouseUp(button, at.x(), at.y());
    }
    event->accept();
}

}  // namespace korvane
