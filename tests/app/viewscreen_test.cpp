// The viewscreen shows the game's surface exactly, pixel for pixel, and reports the mouse in
// viewscreen pixels with the game's button numbers.

#include "viewscreen.h"

#include <gtest/gtest.h>

#include <QTest>

#include "look.h"
#include "surface.h"

namespace korvane {
namespace {

TEST(ViewscreenTest, SurfaceColoursAreShownExactly) {
    Surface surface;
    surface.SetPixelV(0, 0, kRed);
    surface.SetPixelV(641, 0, kBlue);
    surface.SetPixelV(0, 481, Rgb(1, 2, 3));
    surface.SetPixelV(641, 481, kYellow);
    QImage image;
    SurfaceToImage(surface, image);
    ASSERT_EQ(image.size(), QSize(642, 482));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(641, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 481), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(641, 481), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));
}

TEST(ViewscreenTest, OnAHighDpiScreenEveryGamePixelStaysACrispBlock) {
    Surface surface;
    surface.SetPixelV(10, 10, kYellow);
    Viewscreen screen(nullptr);
    screen.resize(642, 482);
    screen.SetSurface(&surface);
    QImage doubled(642 * 2, 482 * 2, QImage::Format_RGB32);
    doubled.setDevicePixelRatio(2.0);
    doubled.fill(Qt::gray);
    screen.render(&doubled);
    for (int y = 19; y <= 22; ++y) {
        for (int x = 19; x <= 22; ++x) {
            const bool inside = x >= 20 && x <= 21 && y >= 20 && y <= 21;
            EXPECT_EQ(doubled.pixel(x, y), inside ? qRgb(255, 255, 0) : qRgb(0, 0, 0))
                << x << "," << y;
        }
    }
}

TEST(ViewscreenTest, TheCursorIsADarkBlueArrowWithAWhiteOutlineAndItsHotSpotAtTenTen) {
    Viewscreen screen(nullptr);
    const QCursor cursor = screen.cursor();
    EXPECT_EQ(cursor.hotSpot(), QPoint(10, 10));
    const QImage image = cursor.pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 128));
    // The four arms reach out from the hot spot, each outlined in white at its tip.
    EXPECT_EQ(image.pixel(10, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(10, 20), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 10), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(20, 10), qRgb(255, 255, 255));
    for (const QPoint inArm : {QPoint(10, 3), QPoint(17, 10), QPoint(10, 17), QPoint(3, 10)}) {
        EXPECT_EQ(image.pixel(inArm), qRgb(0, 0, 128)) << inArm.x() << "," << inArm.y();
    }
    // Between the arms and beyond them the pointer is transparent.
    EXPECT_EQ(qAlpha(image.pixel(3, 3)), 0);
    EXPECT_EQ(qAlpha(image.pixel(25, 25)), 0);
}

TEST(ViewscreenTest, MouseReleasesArriveWithTheGamesButtonNumbersAndPosition) {
    Viewscreen screen(nullptr);
    screen.resize(642, 482);
    std::vector<std::tuple<int, int, double, double>> got;
    screen.onMouseUp = [&](int button, int shift, double px, double py) {
        got.emplace_back(button, shift, px, py);
    };
    QTest::mouseClick(&screen, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseClick(&screen, Qt::RightButton, Qt::ShiftModifier, QPoint(641, 481));
    QTest::mouseClick(&screen, Qt::MiddleButton, Qt::ControlModifier, QPoint(300, 200));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], std::make_tuple(1, 0, 5.0, 6.0));
    EXPECT_EQ(got[1], std::make_tuple(2, 1, 641.0, 481.0));
    EXPECT_EQ(got[2], std::make_tuple(4, 2, 300.0, 200.0));
}

}  // namespace
}  // namespace korvane
