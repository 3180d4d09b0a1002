// The random generator's test vector and the game-state name table used by korvane-sim.

#include <gtest/gtest.h>

#include <set>

#include "colors.h"
#include "random.h"
#include "state_names.h"

namespace korvane {
namespace {

TEST(Random, SeedGivesTheSameSequenceOnEveryBuild) {
    Random r;
    r.Seed(1234567);
    EXPECT_EQ(r.NextBits(), 6457827717110365317ull);
    EXPECT_EQ(r.NextBits(), 3203168211198807973ull);
    EXPECT_EQ(r.NextBits(), 9817491932198370423ull);
    // rand(n) stays within 0 .. n - 1 and reaches both ends.
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int v = r.Rand(10);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 10);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 10u);
}

TEST(StateNames, EveryVariableOnceWithArraysByIndex) {
    GameState s;
    const std::vector<StateVar> table = NameTable(s);
    std::set<std::string> names;
    for (const StateVar& v : table) EXPECT_TRUE(names.insert(v.name).second) << v.name;
    for (const char* n :
         {"soundon",      "numberofstars", "score",          "gametime",     "winscore",
          "nextwinscore", "highscore",     "gamerunning",    "shieldsOn",    "cubex",
          "cubey",        "cubestep",      "photonfire3",    "blast2frames", "clockframes",
          "starx[0]",     "stary[500]",    "starcolor[250]", "retreatsteps", "zz",
          "hinttext",     "screenres",     "targetx",        "flashindex"}) {
        EXPECT_TRUE(names.count(n)) << n;
    }
    EXPECT_FALSE(names.count("starx[501]"));
    EXPECT_EQ(table.front().name, "soundon");
}

TEST(StateNames, SetAndFormatByType) {
    GameState s;
    const std::vector<StateVar> table = NameTable(s);
    auto set = [&](const char* name, const char* value) {
        return SetStateVar(*FindStateVar(table, name), value);
    };
    auto show = [&](const char* name) { return FormatStateVar(*FindStateVar(table, name)); };

    EXPECT_EQ(show("gamerunning"), "False");  // never set reads as False
    EXPECT_EQ(show("nextwinscore"), "0");     // never set prints as 0
    EXPECT_TRUE(set("shieldsOn", "True"));
    EXPECT_TRUE(s.shieldsOn);
    EXPECT_EQ(show("shieldsOn"), "True");
    EXPECT_TRUE(set("cubey", "-150"));
    EXPECT_EQ(s.cubey, -150);
    EXPECT_TRUE(set("starcolor[7]", "0xFFFF"));
    EXPECT_EQ(s.starcolor[7], static_cast<int32_t>(kYellow));
    EXPECT_EQ(show("starcolor[7]"), "65535");
    EXPECT_TRUE(set("zz", "0xFFFFFFFF"));
    EXPECT_EQ(show("zz"), "-1");  // the invalid colour as the signed scratch value
    EXPECT_TRUE(set("x", "630"));
    EXPECT_EQ(s.x, 630);
    EXPECT_TRUE(set("stary[500]", "481"));
    EXPECT_EQ(s.stary[500], 481);
    EXPECT_TRUE(set("screenres", "1024x768"));
    EXPECT_EQ(show("screenres"), "1024x768");
    for (const char* bad : {"", "12a", "0x", "--3", "true", "1.5"}) {
        EXPECT_FALSE(set("cubex", bad)) << bad;
    }
    EXPECT_EQ(FindStateVar(table, "nosuchthing"), nullptr);
}

}  // namespace
}  // namespace korvane
