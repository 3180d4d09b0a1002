// The sprite maps, pixel for pixel, and the two looks of the enemy cube.

#include "sprites.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane {
namespace {

// Key: . black, # white, R red, B blue, M magenta.
void ExpectMap(const Sprite& s, const std::vector<std::string>& rows) {
    ASSERT_EQ(s.height, static_cast<int>(rows.size()));
    for (int r = 0; r < s.height; ++r) {
        ASSERT_EQ(s.width, static_cast<int>(rows[r].size()));
        for (int c = 0; c < s.width; ++c) {
            Color want = kBlack;
            switch (rows[r][c]) {
                case '#':
                    want = kWhite;
                    break;
                case 'R':
                    want = kRed;
                    break;
                case 'B':
                    want = kBlue;
                    break;
                case 'M':
                    want = kMagenta;
                    break;
                default:
                    break;
            }
            EXPECT_EQ(s.At(c, r), want) << "column " << c << " row " << r;
        }
    }
}

std::vector<std::string> Doubled(const std::vector<std::string>& halfRows) {
    std::vector<std::string> rows;
    for (const std::string& r : halfRows) {
        rows.push_back(r);
        rows.push_back(r);
    }
    return rows;
}

TEST(Sprites, ShipCrosshairsAndTorpedoesMatchTheirMaps) {
    const Sprites& sp = GameSprites();
    ExpectMap(sp.picHalcyra,
              Doubled({"....######....", "..##########..", "..####BB####..", "..##########..",
                       "....##RR##....", "RR..######..RR", "##..######..##", "##############",
                       "##..######..##", "##....##....##", "##..........##"}));
    EXPECT_EQ(sp.picHalcyra.At(6, 14), kWhite);  // the repaint test's pixel
    ExpectMap(sp.piccrosshairs, {"....M....", "....M....", ".........", ".........", "MM.....MM",
                                 ".........", ".........", "....M....", "....M...."});
    ExpectMap(sp.pictorpedox, {"R.R", ".R.", "R.R"});
    ExpectMap(sp.pictorpedoplus, {".R.", "RRR", ".R."});
    ExpectMap(sp.picHalcyraerase, std::vector<std::string>(22, std::string(14, '.')));
    ExpectMap(sp.piccrosshairserase, std::vector<std::string>(9, std::string(9, '.')));
    ExpectMap(sp.pictorpedoerase, {"...", "...", "..."});
    ExpectMap(sp.picVessikshiperase, std::vector<std::string>(101, std::string(101, '.')));
}

TEST(Sprites, CubeHasAGreyBorderAndAGreyLatticeOnTeal) {
    const Sprite& cube = GameSprites().picVessikship;
    ASSERT_EQ(cube.width, 101);
    ASSERT_EQ(cube.height, 101);
    int grey = 0, teal = 0;
    for (int r = 0; r < 101; ++r) {
        for (int c = 0; c < 101; ++c) {
            const bool border = r == 0 || c == 0 || r == 100 || c == 100;
            const bool dot = r >= 2 && r <= 98 && c >= 2 && c <= 98 && r % 2 == 0 && c % 2 == 0;
            EXPECT_EQ(cube.At(c, r), border || dot ? kGrey : kTeal) << c << "," << r;
            grey += cube.At(c, r) == kGrey;
            teal += cube.At(c, r) == kTeal;
        }
    }
    EXPECT_EQ(grey, 400 + 49 * 49);
    EXPECT_EQ(grey + teal, 101 * 101);
}

TEST(Sprites, WreckedCubeHasIrregularBlackPatchesInsideAnIntactBorder) {
    const Sprite& cube = GameSprites().picVessikship;
    const Sprite& wreck = GameSprites().picVessikship3;
    int black = 0, changed = 0;
    std::vector<int> blackPerRow(101, 0);
    for (int r = 0; r < 101; ++r) {
        for (int c = 0; c < 101; ++c) {
            const bool border = r == 0 || c == 0 || r == 100 || c == 100;
            if (border) {
                EXPECT_EQ(wreck.At(c, r), kGrey) << c << "," << r;
                continue;
            }
            if (wreck.At(c, r) == kBlack) {
                ++black;
                ++blackPerRow[static_cast<size_t>(r)];
            } else {
                EXPECT_EQ(wreck.At(c, r), cube.At(c, r)) << "only black damage is added";
            }
            changed += wreck.At(c, r) != cube.At(c, r);
        }
    }
    EXPECT_EQ(black, 2495);
    EXPECT_EQ(changed, 2495);
    // Patches, not a solid block nor a band: damage in many rows, no row wholly black.
    int damagedRows = 0;
    for (int r = 1; r <= 99; ++r) {
        damagedRows += blackPerRow[static_cast<size_t>(r)] > 0;
        EXPECT_LT(blackPerRow[static_cast<size_t>(r)], 99);
    }
    EXPECT_GT(damagedRows, 40);
    // The same wreck every time.
    const Sprite again = MakeWreckedVessikShip();
    EXPECT_EQ(again.pixels, wreck.pixels);
}

}  // namespace
}  // namespace korvane
