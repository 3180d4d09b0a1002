// The pacing arithmetic on a clock the test moves by hand.

#include "pacer.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

class PacerTest : public ::testing::Test {
  protected:
    double now_ = 1'000'000.0;
    Pacer pacer_{[this] { return now_; }};
};

TEST_F(PacerTest, TheFirstFrameOnlySetsTheReference) {
    EXPECT_EQ(pacer_.Lead(50'000.0), 0.0);
}

TEST_F(PacerTest, WaitsForTheEmulatedTimeThatRealTimeHasNotCaughtUp) {
    pacer_.Lead(0.0);
    EXPECT_DOUBLE_EQ(pacer_.Lead(5'000.0), 5'000.0);
    now_ += 2'000.0;
    EXPECT_DOUBLE_EQ(pacer_.Lead(5'000.0), 3'000.0);
    now_ += 3'000.0;
    EXPECT_EQ(pacer_.Lead(5'000.0), 0.0);
    // The next frame is paced from the same reference: no drift from frame to frame.
    now_ += 100.0;
    EXPECT_DOUBLE_EQ(pacer_.Lead(10'000.0), 4'900.0);
}

TEST_F(PacerTest, FramesUnderAMillisecondAreBatchedUntilTheyAddUpToOne) {
    pacer_.Lead(0.0);
    double emulated = 0.0;
    for (int frame = 1; frame <= 2; ++frame) {
        emulated += 400.0;
        EXPECT_EQ(pacer_.Lead(emulated), 0.0) << "frame " << frame;
    }
    emulated += 400.0;
    EXPECT_DOUBLE_EQ(pacer_.Lead(emulated), 1'200.0);
}

TEST_F(PacerTest, ASlowMachineRunsSlowerWithoutPilingUpDebt) {
    pacer_.Lead(0.0);
    // Real time runs far ahead of the emulated time for a while.
    now_ += 500'000.0;
    EXPECT_EQ(pacer_.Lead(2'000.0), 0.0);
    // Then the machine keeps up again: the next frame is paced as usual, not run flat out
    // to win back the half second.
    EXPECT_DOUBLE_EQ(pacer_.Lead(2'000.0 + 3'000.0), 3'000.0);
}

TEST(PacerToleranceTest, ALittleLatenessIsMadeUpAndMoreIsForgiven) {
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

TEST_F(PacerTest, TimeInAModalWindowIsNotTheGames) {
    pacer_.Lead(0.0);
    EXPECT_DOUBLE_EQ(pacer_.Lead(8'000.0), 8'000.0);
    pacer_.Restart();
    now_ += 30'000'000.0;  // the player reads a dialog for half a minute
    EXPECT_EQ(pacer_.Lead(9'000.0), 0.0);
    EXPECT_DOUBLE_EQ(pacer_.Lead(11'000.0), 2'000.0);
}

TEST_F(PacerTest, EmulatedTimeGoingBackStartsAfresh) {
    pacer_.Lead(100'000.0);
    EXPECT_EQ(pacer_.Lead(10.0), 0.0);
    EXPECT_DOUBLE_EQ(pacer_.Lead(1'510.0), 1'500.0);
}

TEST(PacerWaitTest, WaitsWholeMillisecondsAndCarriesTheRest) {
    EXPECT_EQ(Pacer::WaitMillis(0.0), 0);
    EXPECT_EQ(Pacer::WaitMillis(999.0), 0);
    EXPECT_EQ(Pacer::WaitMillis(1'000.0), 1);
    EXPECT_EQ(Pacer::WaitMillis(16'999.0), 16);
}

}  // namespace
}  // namespace korvane
