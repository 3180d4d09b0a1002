// The pace check of live games, with arrivals made up: a game at the pace of its emulated
// time passes; one slower or faster than its tolerance, or silent, does not.
#include "live/pace_check.h"

#include <gtest/gtest.h>

namespace korvane::hall {
namespace {

// Plays from real time `from` to `to` at `rate` game seconds a second, the frames sent in
// batches every 0.5 s that arrive `late` seconds after their last frame. The first refusal.
std::optional<std::string> Play(PaceCheck& pace, double& game, double from, double to,
                                double rate = 1.0, double late = 0.05) {
    for (double sent = from + 0.5; sent <= to + 1e-9; sent += 0.5) {
        pace.Arrived(sent + late);
        const double first = game + 0.001;
        game += 0.5 * rate;
        if (auto why = pace.Frame(sent + late, first)) return why;
        if (auto why = pace.Frame(sent + late, game)) return why;
    }
    return std::nullopt;
}

bool Says(const std::optional<std::string>& why, const char* word) {
    return why && why->find(word) != std::string::npos;
}

TEST(PaceCheck, AtThePaceWithinTheToleranceOrABatchUpTo2sLateIsLive) {
    for (const double rate : {1.0, 0.95, 0.92}) {
        PaceCheck pace({}, 0);
        double game = 0;
        EXPECT_EQ(Play(pace, game, 0, 120, rate), std::nullopt) << rate;
    }
    PaceCheck pace({}, 0);
    double game = 0;
    EXPECT_FALSE(Play(pace, game, 0, 20) || Play(pace, game, 20, 21, 1.0, 1.9) ||
                 Play(pace, game, 21, 40));
}

TEST(PaceCheck, SlowerThanTheToleranceOverAWindowOrAheadOfTheClockIsNotLive) {
    PaceCheck slow({}, 0), fast({}, 0), late({}, 0), atOnce({}, 0);
    double a = 0, b = 0, c = 0;
    EXPECT_EQ(Play(slow, a, 0, 10, 0.8), std::nullopt);  // within the lateness so far
    EXPECT_TRUE(Says(Play(slow, a, 10, 30, 0.8), "slower"));
    EXPECT_EQ(Play(fast, b, 0, 5, 1.2), std::nullopt);
    EXPECT_TRUE(Says(Play(fast, b, 5, 20, 1.2), "ahead"));
    EXPECT_EQ(Play(late, c, 0, 5.5, 1.0, 2.6), std::nullopt);  // too late, then on time:
    EXPECT_TRUE(Says(Play(late, c, 5.5, 6), "ahead"));
    EXPECT_EQ(atOnce.Frame(31, 0.01), std::nullopt);  // a game of 30 s sent after it
    EXPECT_TRUE(Says(atOnce.Frame(31, 30), "ahead"));
}

TEST(PaceCheck, APauseIsLeftOutOfThePaceButSlowPlayAroundItIsNot) {
    PaceCheck paused({}, 0), unpaused({}, 0), slow({}, 0);
    double a = 0, b = 0, c = 0;
    EXPECT_FALSE(Play(paused, a, 0, 15) || Play(unpaused, b, 0, 15));
    EXPECT_EQ(paused.BeginPause(15.05), std::nullopt);  // the About box, for 40 s
    EXPECT_EQ(paused.EndPause(55.05), std::nullopt);
    EXPECT_EQ(Play(paused, a, 55, 80), std::nullopt);
    EXPECT_TRUE(Says(Play(unpaused, b, 55, 80), "slower"));
    // At 80% of the pace, 8 s at a time between pauses of 1 s: slow all the same.
    std::optional<std::string> why;
    for (double t = 0; t < 30 && !why; t += 9) {
        why = Play(slow, c, t, t + 8, 0.8);
        if (!why) why = slow.BeginPause(t + 8.05);
        if (!why) why = slow.EndPause(t + 9.05);
    }
    EXPECT_TRUE(Says(why, "slower")) << why.value_or("live");
}

TEST(PaceCheck, PausesStartAndSilenceAreBounded) {
    PaceCheck many({}, 0), long_({}, 0), late({}, 0), quiet({}, 0);
    double a = 0, b = 0;
    EXPECT_EQ(Play(many, a, 0, 2), std::nullopt);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(many.BeginPause(3 + k), std::nullopt);
        EXPECT_EQ(many.EndPause(3.5 + k), std::nullopt);
    }
    EXPECT_TRUE(Says(many.BeginPause(7), "paused 4 times"));
    // 60 s of pauses in all: the second pause runs out while it is open, at once.
    EXPECT_EQ(Play(long_, b, 0, 2), std::nullopt);
    EXPECT_FALSE(long_.BeginPause(2) || long_.EndPause(42));
    EXPECT_EQ(long_.BeginPause(50), std::nullopt);
    EXPECT_EQ(long_.PauseOverdue(69.9), std::nullopt);
    EXPECT_TRUE(Says(long_.PauseOverdue(70.1), "paused for more than 60.0 s"));
    EXPECT_DOUBLE_EQ(long_.Deadline(true), 70);
    // The first frame within 60 s of the opening, whatever came before it.
    late.Arrived(59);
    EXPECT_DOUBLE_EQ(late.Deadline(true), 60);
    EXPECT_TRUE(Says(late.Silence(60.1, true), "did not start"));
    EXPECT_TRUE(Says(late.Frame(61, 0.01), "first frame came 61.0 s"));
    quiet.Frame(5, 0.01);
    quiet.Arrived(5);
    EXPECT_FALSE(quiet.Silence(14.9, false) || quiet.Silence(300, true));
    EXPECT_TRUE(quiet.Silence(15.1, false) && quiet.Silence(606, true));
    EXPECT_DOUBLE_EQ(quiet.Deadline(false), 15);
}

TEST(PaceCheck, ATakeoverExcusesItsGapAndNothingElse) {
    // The other hall's last batch came at 20 (game 20); this hall took the game at 24, and
    // the batch it took it with holds frames played before the other hall died.
    PaceCheck gap({}, 0), fast({}, 0);
    for (PaceCheck* pace : {&gap, &fast}) {
        pace->Resume(20, 24, 0, 0);
        EXPECT_EQ(pace->Frame(24, 20.5), std::nullopt);
    }
    double a = 24, b = 20.5;
    EXPECT_EQ(Play(gap, a, 24, 60), std::nullopt);  // the player played on meanwhile
    EXPECT_TRUE(Says(Play(fast, b, 24, 40, 1.3), "ahead"));
}

}  // namespace
}  // namespace korvane::hall
