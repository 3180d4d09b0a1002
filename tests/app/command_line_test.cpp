// The command line: --help and --version answer, --record and --replay take a file, anything
// else is a usage error with exit code 2.

#include "command_line.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(CommandLine, OnlyHelpAndVersionAreAnsweredAndAnythingElseIsAUsageError) {
    EXPECT_FALSE(AnswerCommandLine({}).has_value());  // no arguments: the game starts
    PlayOptions play;
    EXPECT_FALSE(AnswerCommandLine({"--replay", "a game.rec"}, &play).has_value());
    EXPECT_EQ(play.replayPath, "a game.rec");
    EXPECT_EQ(play.recordPath, "");

    const auto version = AnswerCommandLine({"--version"});
    ASSERT_TRUE(version);
    EXPECT_EQ(version->exitCode, 0);
    EXPECT_EQ(version->out, "korvane 1.02\n");
    EXPECT_EQ(version->err, "");

    const auto help = AnswerCommandLine({"--help"});
    ASSERT_TRUE(help);
    EXPECT_EQ(help->exitCode, 0);
    EXPECT_EQ(help->out.rfind("Usage: korvane", 0), 0u);
    EXPECT_NE(help->out.find("--version"), std::string::npos);

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"-h"},
                                               {"--versions"},
                                               {"extra"},
                                               {"--help", "--version"},
                                               {"--version", "x"},
                                               {"-platform", "offscreen"},
                                               {"--record"},
                                               {"--replay", ""},
                                               {"--record", "a", "--replay", "b"}}) {
        const auto answer = AnswerCommandLine(args);
        ASSERT_TRUE(answer) << args[0];
        EXPECT_EQ(answer->exitCode, 2) << args[0];
        EXPECT_EQ(answer->out, "");
        EXPECT_NE(answer->err.find("Usage: korvane"), std::string::npos);
    }
}

}  // namespace
}  // namespace korvane
