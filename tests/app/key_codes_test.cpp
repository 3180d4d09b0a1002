// Qt's keys reach the game as the virtual-key codes of its key table.

#include "key_codes.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(KeyCodesTest, TheGamesKeysHaveTheirCodes) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Control), 17);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Space), 32);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Left), 37);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Up), 38);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Right), 39);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Down), 40);
    const std::pair<Qt::Key, int> letters[] = {{Qt::Key_A, 65}, {Qt::Key_C, 67}, {Qt::Key_H, 72},
                                               {Qt::Key_Q, 81}, {Qt::Key_S, 83}, {Qt::Key_X, 88},
                                               {Qt::Key_Z, 90}};
    for (auto [key, code] : letters) EXPECT_EQ(VirtualKeyFromQt(key), code) << code;
}

TEST(KeyCodesTest, OtherKeysKeepTheirDesktopCodesAndUnknownKeysHaveNone) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Return), 13);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter), 13);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Escape), 27);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Shift), 16);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_5), 53);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F1), 112);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F12), 123);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Meta), 0);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_unknown), 0);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Adiaeresis), 0);
}

TEST(KeyCodesTest, ModifiersBecomeShiftBits) {
    EXPECT_EQ(ShiftBits(Qt::NoModifier), 0);
    EXPECT_EQ(ShiftBits(Qt::ShiftModifier), 1);
    EXPECT_EQ(ShiftBits(Qt::ControlModifier), 2);
    EXPECT_EQ(ShiftBits(Qt::AltModifier), 4);
    EXPECT_EQ(ShiftBits(Qt::ShiftModifier | Qt::AltModifier | Qt::KeypadModifier), 5);
}

}  // namespace
}  // namespace korvane
