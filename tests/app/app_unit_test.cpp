// The desktop layer's arithmetic: pacing on a clock the test moves by hand, and the command
// line.
#include <gtest/gtest.h>

#include <algorithm>

#include "command_line.h"
#include "hall_dialog.h"
#include "pacer.h"

namespace korvane {
namespace {

class PacerTest : public ::testing::Test {
  protected:
    double now_ = 1'000'000.0;
    Pacer pacer_{[this] { return now_; }};
};

TEST_F(PacerTest, WaitsForTheEmulatedTimeThatRealTimeHasNotCaughtUpWithoutDrift) {
    EXPECT_EQ(pacer_.Lead(0.0), 0.0) << "the first frame only sets the reference";
    EXPECT_DOUBLE_EQ(pacer_.Lead(5'000.0), 5'000.0);
    now_ += 2'000.0;
    EXPECT_DOUBLE_EQ(pacer_.Lead(5'000.0), 3'000.0);
    now_ += 3'000.0;
    EXPECT_EQ(pacer_.Lead(5'000.0), 0.0);
    now_ += 100.0;
    EXPECT_DOUBLE_EQ(pacer_.Lead(10'000.0), 4'900.0);
}

TEST_F(PacerTest, FramesUnderAMillisecondAreBatchedUntilTheyAddUpToOne) {
    pacer_.Lead(0.0);
    EXPECT_EQ(pacer_.Lead(400.0), 0.0);
    EXPECT_EQ(pacer_.Lead(800.0), 0.0);
    EXPECT_DOUBLE_EQ(pacer_.Lead(1'200.0), 1'200.0);
    EXPECT_EQ(Pacer::WaitMillis(999.0), 0);
    EXPECT_EQ(Pacer::WaitMillis(1'000.0), 1);
    EXPECT_EQ(Pacer::WaitMillis(16'999.0), 16);
}

TEST_F(PacerTest, ASlowMachineModalWindowOrTimeGoingBackPilesUpNoDebt) {
    pacer_.Lead(0.0);
    now_ += 500'000.0;  // real time runs far ahead for a while
    EXPECT_EQ(pacer_.Lead(2'000.0), 0.0);
    EXPECT_DOUBLE_EQ(pacer_.Lead(5'000.0), 3'000.0) << "not run flat out to win time back";
    pacer_.Restart();
    now_ += 30'000'000.0;  // the player reads a dialog for half a minute
    EXPECT_EQ(pacer_.Lead(9'000.0), 0.0);
    EXPECT_DOUBLE_EQ(pacer_.Lead(11'000.0), 2'000.0);
    EXPECT_EQ(pacer_.Lead(10.0), 0.0);  // emulated time went back: start afresh
    EXPECT_DOUBLE_EQ(pacer_.Lead(1'510.0), 1'500.0);
}

TEST(PacerTolerance, ALittleLatenessIsMadeUpAndMoreIsForgiven) {
    double now = 0.0;
    Pacer pacer([&now] { return now; }, 2'000.0);
    pacer.Lead(0.0);
    // The wait for a 5 ms frame oversleeps by 1.5 ms: the next frame runs at once and the
    // one after it waits the less.
    now += 6'500.0;
    EXPECT_EQ(pacer.Lead(5'000.0), 0.0);
    EXPECT_DOUBLE_EQ(pacer.Lead(10'000.0), 3'500.0);
    // Late beyond the tolerance: the reference moves up, as without one.
    now += 20'000.0;
    EXPECT_EQ(pacer.Lead(15'000.0), 0.0);
    EXPECT_DOUBLE_EQ(pacer.Lead(20'000.0), 5'000.0);
}

// Frames of 5 ms at a 60 Hz display: the program sleeps once per refresh, never once per
// frame, and ten seconds of waits still run two thousand frames. A frame that costs three
// refreshes is waited out in whole refreshes.
TEST(PacerBatches, FramesDueByTheNextRefreshRunBackToBackAndThePaceHolds) {
    constexpr double kRefresh = 1e6 / 60.0;
    double now = 0.0;
    Pacer pacer([&now] { return now; }, kRefresh);
    double emulated = 0.0;
    int waits = 0, framesSinceWait = 0, longestBatch = 0;
    pacer.BatchWait(emulated, kRefresh);
    for (int frame = 0; frame < 2'000; ++frame) {
        emulated += 5'000.0;
        ++framesSinceWait;
        const double wait = pacer.BatchWait(emulated, kRefresh);
        if (wait == 0.0) continue;
        EXPECT_DOUBLE_EQ(wait, kRefresh) << frame;
        longestBatch = std::max(longestBatch, framesSinceWait);
        framesSinceWait = 0;
        ++waits;
        now += Pacer::WaitMillis(wait) * 1'000.0 + 300.0;  // whole milliseconds, overslept
    }
    EXPECT_GE(waits, 590);  // one per refresh of the 10 s, at most one per 16 ms
    EXPECT_LE(waits, 625);
    EXPECT_EQ(longestBatch, 4);
    EXPECT_NEAR(now, 10e6, 0.01 * 10e6) << "200 frames a second";

    emulated += 3.5 * kRefresh;
    EXPECT_DOUBLE_EQ(pacer.BatchWait(emulated, kRefresh), 3 * kRefresh);
}

TEST(CommandLine, OnlyHelpAndVersionAreAnsweredAndAnythingElseIsAUsageError) {
    EXPECT_FALSE(AnswerCommandLine({}).has_value());  // no arguments: the game starts
    PlayOptions play;
    // A replay or a hall game may be recorded too.
    EXPECT_FALSE(AnswerCommandLine({"--replay", "a game.rec", "--record", "b"}, &play));
    EXPECT_EQ(play.replayPath, "a game.rec");
    EXPECT_EQ(play.recordPath, "b");
    EXPECT_FALSE(AnswerCommandLine({"--record", "a", "--hall", "https://h.example/k"}, &play));
    EXPECT_EQ(play.recordPath, "a");
    EXPECT_EQ(play.hallUrl, "https://h.example/k");
    const auto version = AnswerCommandLine({"--version"});
    ASSERT_TRUE(version);
    EXPECT_EQ(version->exitCode, 0);
    EXPECT_EQ(version->out.rfind("korvane ", 0), 0u);
    const auto help = AnswerCommandLine({"--help"});
    ASSERT_TRUE(help);
    EXPECT_EQ(help->exitCode, 0);
    EXPECT_EQ(help->out.rfind("Usage: korvane", 0), 0u);
    const std::vector<std::vector<std::string>> refused = {
        {"-h"}, {"--versions"}, {"extra"}, {"--help", "--version"}, {"-platform", "x"},
        {"--record"}, {"--replay", ""}, {"--record", "a", "--hall", "http://h", "--replay", "b"},
        {"--hall", "ftp://h"}, {"--hall", "h.example"}, {"--hall", ""}};
    for (const std::vector<std::string>& args : refused) {
        const auto answer = AnswerCommandLine(args);
        ASSERT_TRUE(answer) << args[0];
        EXPECT_EQ(answer->exitCode, 2) << args[0];
        EXPECT_EQ(answer->out, "");
        EXPECT_NE(answer->err.find("Usage: korvane"), std::string::npos);
    }
}

// The hall checks names too; the dialog offers to send only what it would take.
TEST(HallDialog, TakesOneToTwentyFourPrintableCharactersThatAreNotOnlySpaces) {
    EXPECT_TRUE(HallDialog::IsHallName(QStringLiteral("Zoë <b>")));
    EXPECT_TRUE(HallDialog::IsHallName(QString(24, QLatin1Char('x'))));
    EXPECT_TRUE(HallDialog::IsHallName(QString::fromUtf8("\xF0\x9F\x9A\x80")));  // one character
    for (const QString& name : {QString(), QStringLiteral("   "), QString(25, QLatin1Char('x')),
                                QStringLiteral("tab\there")}) {
        EXPECT_FALSE(HallDialog::IsHallName(name)) << name.toStdString();
    }
}

}  // namespace
}  // namespace korvane
