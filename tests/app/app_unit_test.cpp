// The desktop layer's arithmetic: pacing on a clock the test moves by hand, and the command
// line.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "command_line.h"
#include "pacer.h"

namespace korvane {
namespace {

// Frames paced on a clock the test moves by hand. Each step: how far real time moved on
// before the frame, the frame's emulated time, and the wait the pacer asks for.
struct PaceCase {
    const char* what;
    double tolerance;
    std::vector<std::array<double, 3>> steps;
};

TEST(Pacer, WaitsForTheEmulatedTimeRealTimeHasNotCaughtUpWithAndPilesUpNoDebt) {
    const PaceCase cases[] = {
        {"the first frame only sets the reference; no drift", 0.0,
         {{0, 0, 0}, {0, 5'000, 5'000}, {2'000, 5'000, 3'000}, {3'000, 5'000, 0},
          {100, 10'000, 4'900}}},
        {"frames under a millisecond are batched until they add up to one", 0.0,
         {{0, 0, 0}, {0, 400, 0}, {0, 800, 0}, {0, 1'000, 1'000}}},
        {"real time far ahead for a while is not run flat out to win back", 0.0,
         {{0, 0, 0}, {500'000, 2'000, 0}, {0, 5'000, 3'000}}},
        {"emulated time going back starts afresh; a frame of the same time does not", 2'000.0,
         {{0, 9'000, 0}, {0, 11'000, 2'000}, {0, 10, 0}, {0, 1'510, 1'500}, {1'000, 10, 0},
          {0, 3'010, 2'000}}},
        // The wait for a 5 ms frame oversleeps by 1.5 ms: the next frame runs at once and
        // the one after it waits the less; so does a frame late by the whole tolerance. Late
        // beyond it: the reference moves up.
        {"a little lateness is made up and more is forgiven", 2'000.0,
         {{0, 0, 0}, {6'500, 5'000, 0}, {0, 10'000, 3'500}, {10'500, 15'000, 0},
          {0, 20'000, 3'000}, {20'000, 25'000, 0}, {0, 30'000, 5'000}}},
    };
    for (const PaceCase& c : cases) {
        double now = 1'000'000.0;
        Pacer pacer([&now] { return now; }, c.tolerance);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            now += c.steps[i][0];
            EXPECT_DOUBLE_EQ(pacer.Lead(c.steps[i][1]), c.steps[i][2]) << c.what << ", step " << i;
        }
    }
    EXPECT_EQ(Pacer::WaitMillis(999.0), 0);
    EXPECT_EQ(Pacer::WaitMillis(1'000.0), 1);
    EXPECT_EQ(Pacer::WaitMillis(16'999.0), 16);
    // After a modal window the next frame is the reference again, however far ahead it is.
    double now = 0.0;
    Pacer pacer([&now] { return now; });
    pacer.Lead(0.0);
    EXPECT_DOUBLE_EQ(pacer.Lead(5'000.0), 5'000.0);
    pacer.Restart();
    EXPECT_EQ(pacer.Lead(6'000.0), 0.0);
    EXPECT_DOUBLE_EQ(pacer.Lead(8'000.0), 2'000.0);
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
    // A hall game may be played from a recording's inputs.
    EXPECT_FALSE(AnswerCommandLine({"--hall", "http://h", "--replay", "b", "--record", "a"}));
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
        {"--record"}, {"--replay", ""}, {"--hall", "http://h", "--hall", "http://g"},
        {"--record", "a", "--help"},
        {"--hall", "ftp://h"}, {"--hall", "h.example"}, {"--hall", ""}};
    for (const std::vector<std::string>& args : refused) {
        const auto answer = AnswerCommandLine(args);
        ASSERT_TRUE(answer) << args[0];
        EXPECT_EQ(answer->exitCode, 2) << args[0];
        EXPECT_EQ(answer->out, "");
        EXPECT_NE(answer->err.find("Usage: korvane"), std::string::npos);
    }
}

}  // namespace
}  // namespace korvane
