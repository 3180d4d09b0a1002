// korvane-bench-floor: the least any program showing the game's viewscreen can cost. A
// window that only repaints a viewscreen-sized image once per display frame, a few of its pixels
// moved each time as stars would be. korvane-bench measures the game against it.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "surface.h"

namespace {

constexpr int kWidth = korvane::Surface::kWidth;
constexpr int kHeight = korvane::Surface::kHeight;
constexpr int kStars = 150;

class FloorWindow : public QWidget {
  public:
    FloorWindow() : image_(kWidth, kHeight, QImage::Format_RGB32) {
        setWindowTitle(QStringLiteral("korvane-bench-floor"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(kWidth, kHeight);
        image_.fill(Qt::black);
    }

    // One picture per display frame: the stars fall a pixel, then the window repaints.
    void Tick() {
        ++frame_;
        for (int i = 0; i < kStars; ++i) {
            const int x = (i * 97) % kWidth;
            const int y = (i * 53 + frame_) % kHeight;
            image_.setPixel(x, (y + kHeight - 1) % kHeight, qRgb(0, 0, 0));
            image_.setPixel(x, y, qRgb(255, 255, 0));
        }
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(rect(), image_);
    }

  private:
    QImage image_;
    int frame_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FloorWindow window;
    window.show();
    double rate = 60.0;
    if (const QScreen* screen = window.screen(); screen && screen->refreshRate() > 1.0) {
        rate = screen->refreshRate();
    }
    QTimer frames;
    QObject::connect(&frames, &QTimer::timeout, &window, [&window] { window.Tick(); });
    frames.start(std::max(1, static_cast<int>(1000.0 / rate)));
    return QApplication::exec();
}
