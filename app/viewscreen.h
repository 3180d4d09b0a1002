#pragma once
// The viewscreen Picture1: shows the game's surface as it stands and reports mouse button
// releases in viewscreen pixels. It never draws into the surface itself.

#include <QCursor>
#include <QImage>
#include <QWidget>
#include <functional>

#include "colors.h"

namespace korvane {

class Surface;

// Mouse buttons as the game numbers them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// The 32 x 32 pointer over the viewscreen: a dark blue four-way arrow with a white outline
// whose centre, at (10,10), is the hot spot.
inline constexpr int kCursorHotSpot = 10;
QPixmap ViewscreenCursorPixmap();

// Converts pixels laid out as the surface's (0x00BBGGRR, row by row) into image, which is
// resized to width x height if needed; and the surface itself.
void PixelsToImage(const Color* pixels, int width, int height, QImage& image);
void SurfaceToImage(const Surface& surface, QImage& image);

class Viewscreen : public QWidget {
  public:
    explicit Viewscreen(QWidget* parent);

    void SetSurface(const Surface* surface) { surface_ = surface; }

    // Called with the game's button number and position.
    std::function<void(int button, double px, double py)> onMouseUp;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Converts the surface straight into the image that p paints on, when that image takes
    // the game's pixels one for one; false, with nothing painted, when it does not.
    bool ConvertIntoDevice(QPainter& p);

    const Surface* surface_ = nullptr;
    QImage image_;
};

}  // namespace korvane
