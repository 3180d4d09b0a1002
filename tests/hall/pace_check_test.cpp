// The pace check of live games, with arrivals made up: a game at the pace of its emulated
// time passes; one slower or faster than its tolerance, or silent, does not.
#include "pace_check.h"

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

TEST(PaceCheck, ADialogIsAPauseAndSilenceOutsideOneIsNot) {
    PaceCheck paused({}, 0), unpaused({}, 0), quiet({}, 0);
    double a = 0, b = 0;
    EXPECT_FALSE(Play(paused, a, 0, 15) || Play(unpaused, b, 0, 15));
    paused.Pause();  // a message box held the game for 40 s
    EXPECT_EQ(Play(paused, a, 55, 80), std::nullopt);
    EXPECT_TRUE(Says(Play(unpaused, b, 55, 80), "slower"));
    quiet.Arrived(5);
    EXPECT_FALSE(quiet.Silence(14.9, false, 600) || quiet.Silence(300, true, 600));
    EXPECT_TRUE(quiet.Silence(15.1, false, 600) && quiet.Silence(606, true, 600));
    EXPECT_DOUBLE_EQ(quiet.SilenceDeadline(false, 600), 15);
}

}  // namespace
}  // namespace korvane::hall
