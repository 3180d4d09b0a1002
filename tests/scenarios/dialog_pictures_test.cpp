// What the viewscreen shows where a script's pixel line cannot look: while the victory's
// explosion sounds hold the game, and while an outcome dialog is open. The teardown clears
// it all before the next frame's yield.
#include <gtest/gtest.h>

#include <cmath>

#include "colors.h"
#include "scripted_shell.h"

namespace korvane::script {
namespace {

// The scripted stand-in that keeps a copy of the viewscreen at each of those moments.
class PictureTakingShell : public ScriptedShell {
  public:
    using ScriptedShell::ScriptedShell;
    void PlaySound(int soundid, int playflags) override {
        if (playflags == 0) pictures.push_back(game().surface());  // the game waits for it
        ScriptedShell::PlaySound(soundid, playflags);
    }
    Task ShowDialog(Dialog& dialog) override {
        if (dynamic_cast<OutcomeDialog*>(dialog.rules)) pictures.push_back(game().surface());
        return ScriptedShell::ShowDialog(dialog);
    }
    std::vector<Surface> pictures;
};

std::vector<Surface> PicturesOf(const std::string& script) {
    std::string log, warnings;
    PictureTakingShell shell(ParseScript(script), RunOptions{}, log, warnings);
    Game game(shell);
    shell.AttachGame(game);
    game.Main();
    shell.RunIdleLines();
    return std::move(shell.pictures);
}

// A disc of `colour` and `radius` about (cx, cy): its edge on the four axes, nothing of it
// one pixel further out (where that is still on the viewscreen).
void ExpectDisc(const Surface& s, int cx, int cy, int radius, Color colour, const char* what) {
    SCOPED_TRACE(what);
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        if (cy + dy * (radius + 1) > 481) continue;
        EXPECT_EQ(s.PeekPixel(cx + dx * radius, cy + dy * radius), colour) << dx << "," << dy;
        EXPECT_NE(s.PeekPixel(cx + dx * (radius + 1), cy + dy * (radius + 1)), colour)
            << dx << "," << dy;
    }
    EXPECT_EQ(s.PeekPixel(cx, cy), colour);
}

TEST(DialogPictures, TheVictoryDrawsThreeRingsOverTheCubeThenOnlyTheWreckAndTheShip) {
    const std::vector<Surface> pictures = PicturesOf(R"(stars 0
click cmdStart
at 2 set antimatter True; set globex -10000; set globey -10000; set supervessik False
at 9 keyup 83
at 10 set cubex 200; set cubey 120; set cubestep 0; set score 500
)");
    // Three explosion sounds, each held with its ring on the screen, then the dialog.
    ASSERT_EQ(pictures.size(), 4u);
    const int cx = 250, cy = 170;  // the cube's middle
    ExpectDisc(pictures[0], cx, cy, 70, kRed, "first ring");
    ExpectDisc(pictures[1], cx, cy, 80, kYellow, "second ring");
    ExpectDisc(pictures[2], cx, cy, 90, kRed, "third ring");

    const Surface& shown = pictures[3];
    for (int y = cy - 92; y <= cy + 92; ++y) {
        for (int x = cx - 92; x <= cx + 92; ++x) {
            const Color c = shown.PeekPixel(x, y);
            ASSERT_TRUE(c != kRed && c != kYellow) << "a ring left at " << x << "," << y;
            const bool wreck = x >= 200 && x <= 300 && y >= 120 && y <= 220;
            if (!wreck && std::hypot(x - cx, y - cy) <= 89.0) {
                ASSERT_EQ(c, kBlack) << "not erased at " << x << "," << y;
            }
        }
    }
    EXPECT_NE(shown.PeekPixel(200, 120), kBlack) << "the wreck's corner";
    EXPECT_NE(shown.PeekPixel(300, 220), kBlack) << "the wreck's corner";
    EXPECT_EQ(shown.PeekPixel(327, 469), kWhite) << "the ship";
    EXPECT_EQ(shown.PeekPixel(326, 451), kBlue) << "the raised shields' outline";
    EXPECT_EQ(shown.PeekPixel(315, 466), kBlack) << "the shields are not filled";
}

TEST(DialogPictures, TheSuperWeaponShowsItsGreenBoltWhileItsDialogIsOpen) {
    const std::vector<Surface> pictures = PicturesOf(R"(stars 142
click cmdStart
at 2 set antimatter True; set globex -10000; set globey -10000
at 10 set cubex 200; set cubey 140; set cubestep 0
)");
    ASSERT_EQ(pictures.size(), 1u);
    ExpectDisc(pictures[0], 250, 245, 5, kGreen, "below the cube");
    ExpectDisc(pictures[0], 326, 470, 40, kGreen, "over the ship");
    // The bolt between them, at its middle row.
    const int y = (245 + 458) / 2;
    int greens = 0;
    for (int x = 250; x <= 326; ++x) greens += pictures[0].PeekPixel(x, y) == kGreen;
    EXPECT_GE(greens, 1) << "the bolt crosses row " << y;
}

// What a live game's batch marks as played while the victory dialog is open: not the frame
// that won, whose "harder" is written for it only as the dialog closes.
TEST(DialogPictures, TheFrameThatWonIsNotMarkedPlayedWhileItsVictoryDialogIsOpen) {
    struct MarkingShell : ScriptedShell {
        using ScriptedShell::ScriptedShell;
        void Show(const WindowChange& change) override {
            if (change.kind == WindowChange::Kind::Text &&
                change.readout == Readout::txtNextscore && change.text == "600")  // harder
                during = {frame(), FramesWritten()};
            ScriptedShell::Show(change);
        }
        std::pair<int64_t, int64_t> during{-1, -1};
    };
    std::string log, warnings;
    MarkingShell shell(ParseScript(R"(seed 12; harder; click cmdStart
at 20 set score 490; set cubex 270; set cubey 300
at 30 keyup 32
at 40 mouseup 1 326 350
at 50 click cmdShields
at 100 keyup 17
at 200 click cmdPhaser
at 300 mouseup 2 5 5
)"), RunOptions{}, log, warnings);
    Game game(shell);
    shell.AttachGame(game);
    game.Main();
    shell.RunIdleLines();
    EXPECT_EQ(shell.during.second, shell.during.first - 1) << log;
    EXPECT_EQ(shell.FramesWritten(), shell.frame());
}

}  // namespace
}  // namespace korvane::script
