// The pace check of live games, with arrivals made up: a game at the pace of its emulated
// time passes, one slower or faster than its tolerance, or silent, does not.
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

TEST(PaceCheck, GamesAtTheirPaceOrWithinTheToleranceAreLive) {
    for (const double rate : {1.0, 0.95, 0.92}) {
        PaceCheck pace({}, 0);
        double game = 0;
        EXPECT_EQ(Play(pace, game, 0, 120, rate), std::nullopt) << rate;
    }
    // Batches up to 2 s late, between others on time.
    PaceCheck pace({}, 0);
    double game = 0;
    EXPECT_EQ(Play(pace, game, 0, 20), std::nullopt);
    EXPECT_EQ(Play(pace, game, 20, 21, 1.0, 1.9), std::nullopt);
    EXPECT_EQ(Play(pace, game, 21, 40), std::nullopt);
}

TEST(PaceCheck, SlowerThanTheToleranceOverAWindowIsNotLive) {
    PaceCheck pace({}, 0);
    double game = 0;
    // 80% of the pace: within the window's lateness at first, refused within 30 s.
    EXPECT_EQ(Play(pace, game, 0, 10, 0.8), std::nullopt);
    const std::optional<std::string> why = Play(pace, game, 10, 30, 0.8);
    ASSERT_TRUE(why);
    EXPECT_NE(why->find("slower"), std::string::npos) << *why;
}

TEST(PaceCheck, AheadOfTheClockIsNotLive) {
    {  // Steadily 20% fast: refused once more than the lateness ahead.
        PaceCheck pace({}, 0);
        double game = 0;
        EXPECT_EQ(Play(pace, game, 0, 5, 1.2), std::nullopt);
        const std::optional<std::string> why = Play(pace, game, 5, 20, 1.2);
        ASSERT_TRUE(why);
        EXPECT_NE(why->find("ahead"), std::string::npos) << *why;
    }
    {  // A whole game of 30 s sent at once after it.
        PaceCheck pace({}, 0);
        EXPECT_EQ(pace.Frame(31, 0.01), std::nullopt);
        EXPECT_TRUE(pace.Frame(31, 30));
    }
    {  // A batch later than the tolerance, then one on time, shows frames played too fast.
        PaceCheck pace({}, 0);
        double game = 0;
        EXPECT_EQ(Play(pace, game, 0, 5), std::nullopt);
        EXPECT_EQ(Play(pace, game, 5, 5.5, 1.0, 2.6), std::nullopt);
        EXPECT_TRUE(Play(pace, game, 5.5, 6));
    }
}

TEST(PaceCheck, ADialogIsAPauseAndSilenceOutsideOneIsNot) {
    PaceRules rules;
    PaceCheck paused(rules, 0), unpaused(rules, 0);
    double a = 0, b = 0;
    EXPECT_EQ(Play(paused, a, 0, 15), std::nullopt);
    EXPECT_EQ(Play(unpaused, b, 0, 15), std::nullopt);
    paused.Pause();  // a message box held the game for 40 s
    EXPECT_EQ(Play(paused, a, 55, 80), std::nullopt);
    EXPECT_TRUE(Play(unpaused, b, 55, 80));

    PaceCheck quiet(rules, 0);
    quiet.Arrived(5);
    EXPECT_EQ(quiet.Silence(14.9, false, 600), std::nullopt);
    EXPECT_TRUE(quiet.Silence(15.1, false, 600));
    EXPECT_EQ(quiet.Silence(300, true, 600), std::nullopt);
    EXPECT_TRUE(quiet.Silence(606, true, 600));
    EXPECT_DOUBLE_EQ(quiet.SilenceDeadline(false, 600), 15);
}

}  // namespace
}  // namespace korvane::hall
