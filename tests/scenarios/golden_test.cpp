// Golden replays: fixed-seed scripted games whose whole korvane-sim log and a hash of one
// viewscreen are checked in under golden/. Any change of behaviour shows up as a difference.
//
// When a change of behaviour is intended, regenerate the files and review the diff:
//   KORVANE_UPDATE_GOLDEN=1 ./build/tests/scenarios/scenario_tests --gtest_filter='Golden*'
// With that variable set, the tests rewrite golden/<name>.log and golden/<name>.screen
// instead of comparing against them.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "scenario_helpers.h"
#include "state_names.h"

using namespace scen;

namespace {

struct GoldenCase {
    std::string name;
    uint64_t seed;
    Script script;  // with one `screen` line at the frame whose viewscreen is hashed
};

// The viewscreen file of a golden case; the script writes it with `screen`.
std::string ScreenFile(const std::string& name) {
    return TempPath(name + ".ppm");
}

bool Updating() {
    const char* v = std::getenv("KORVANE_UPDATE_GOLDEN");
    return v != nullptr && std::string(v) == "1";
}

std::string GoldenPath(const std::string& file) {
    return std::string(KORVANE_GOLDEN_DIR) + "/" + file;
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string HashLine(uint64_t hash) {
    std::ostringstream out;
    out << "fnv1a64 " << std::hex << hash << "\n";
    return out.str();
}

// The first line where two logs part, for a readable failure.
std::string FirstDifference(const std::string& want, const std::string& got) {
    std::istringstream a(want), b(got);
    std::string la, lb;
    for (int n = 1;; ++n) {
        const bool ha = static_cast<bool>(std::getline(a, la));
        const bool hb = static_cast<bool>(std::getline(b, lb));
        if (!ha && !hb) return "no difference";
        if (!ha || !hb || la != lb) {
            return "line " + std::to_string(n) + ":\n  golden: " + (ha ? la : "<end>") +
                   "\n  now:    " + (hb ? lb : "<end>");
        }
    }
}

void CheckGolden(const GoldenCase& c) {
    const std::string screenFile = ScreenFile(c.name);
    std::remove(screenFile.c_str());
    RunOptions o;
    o.seed = c.seed;
    const SimRun run = RunScript(c.script, o);
    ASSERT_EQ(run.result.exitCode, 0) << run.result.error;
    const std::optional<Screen> screen = TakeScreen(screenFile);
    ASSERT_TRUE(screen.has_value()) << "no viewscreen written";
    const std::string hash = HashLine(Fnv1a64(screen->bytes));

    const std::string logPath = GoldenPath(c.name + ".log");
    const std::string hashPath = GoldenPath(c.name + ".screen");
    if (Updating()) {
        std::ofstream(logPath, std::ios::binary) << run.result.log;
        std::ofstream(hashPath, std::ios::binary) << hash;
        std::cout << "[ golden  ] rewrote " << logPath << " and " << hashPath << "\n";
        return;
    }
    const std::optional<std::string> wantLog = ReadFile(logPath);
    const std::optional<std::string> wantHash = ReadFile(hashPath);
    ASSERT_TRUE(wantLog && wantHash)
        << "missing golden files for " << c.name << "; create them with KORVANE_UPDATE_GOLDEN=1";
    EXPECT_TRUE(run.result.log == *wantLog) << c.name << ": the log differs from " << logPath
                                            << " at " << FirstDifference(*wantLog, run.result.log);
    EXPECT_EQ(hash, *wantHash) << c.name << ": the viewscreen differs";
}

Script PlayScript() {
    Script s;
    s.Idle("click cmdStart");
    // Ship moves by buttons and keys.
    s.At(100, "click cmdLeft").At(160, "click cmdStop").At(200, "keyup 67").At(320, "keyup 88");
    s.At(400, "keyup 90").At(460, "keyup 90").At(470, "keyup 67");
    // Crosshairs by keys, a mouse target, a key that drops nothing, buttons.
    s.At(500, "keyup 38").At(560, "keyup 37").At(600, "click cmdStopCrosshair");
    s.At(700, "mouseup 1 400 100").At(900, "keyup 39");
    s.At(1000, "click cmdXhairdown").At(1050, "click cmdXhairright");
    s.At(1100, "click cmdStopCrosshair");
    // Three torpedoes by three commands and a fourth that finds no slot; misses.
    s.At(1200, "keyup 32").At(1210, "click cmdPhoton").At(1220, "mouseup 4 300 300");
    s.At(1230, "keyup 32");
    // Phasers: a shot, a command while recharging, a shot exactly 100 frames later.
    s.At(1300, "keyup 17").At(1350, "click cmdPhaser").At(1400, "mouseup 2 10 10");
    s.At(1500, "click cmdShields").At(1700, "keyup 83").At(2000, "keyup 72");
    // The cube comes down over the ship: aim at it and fire both weapons.
    s.At(3000, "mouseup 1 330 40");
    s.At(3400, "keyup 17").At(3500, "keyup 32").At(3550, "click cmdPhaser");
    s.At(3700, "mouseup 2 330 40").At(3800, "click cmdPhoton").At(4000, "keyup 17");
    s.At(4200, "click cmdPhaser").At(4300, "click cmdShields").At(4400, "mouseup 4 330 40");
    s.At(4500, "keyup 17").At(4700, "mouseup 2 1 1").At(4900, "keyup 32");
    s.At(5100, "keyup 17").At(5300, "click cmdPhaser");
    for (int64_t f = 500; f <= 5000; f += 500) {
        for (const char* v : {"score", "x", "crossx", "crossy", "cubex", "cubey", "cubeanger"}) {
            s.At(f, std::string("print ") + v);
        }
    }
    s.At(5399, "screen " + ScreenFile("play"));
    // Every variable but the star table, whose 1,503 entries the screen's hash stands for.
    korvane::GameState names;
    for (const korvane::StateVar& var : korvane::NameTable(names)) {
        if (var.name.find('[') == std::string::npos) s.At(5400, "print " + var.name);
    }
    s.At(5400, "click cmdStart");
    return s;
}

}  // namespace

TEST(Golden, AFixedSeedGameOf5400FramesReplaysExactly) {
    CheckGolden({"play", 2024, PlayScript()});
}

TEST(Golden, EachEndingReplaysExactly) {
    std::vector<GoldenCase> cases;
    {
        // Absorbed: the cube put just above the ship sinks the last five rows.
        Script s;
        s.Idle("click cmdStart").At(20, "set cubex 270").At(20, "set cubey 350");
        s.At(30, "keyup 17").At(110, "print cubey");
        s.At(110, "screen " + ScreenFile("ending_absorbed"));
        cases.push_back({"ending_absorbed", 5, s});
    }
    {
        // Own torpedo: the cube's bottom grey row two rows above the ship's nose.
        Script s;
        s.Idle("click cmdStart").At(5, "set cubeanger 0").At(5, "set cubex 270");
        s.At(5, "set cubey 345").At(5, "set cubestep 24").At(6, "set score 40");
        s.At(6, "keyup 32").At(6, "screen " + ScreenFile("ending_own_torpedo"));
        cases.push_back({"ending_own_torpedo", 6, s});
    }
    {
        // Antimatter: a globe placed above the ship drifts down onto it.
        Script s;
        s.Idle("click cmdStart").At(20, "set antimatter True").At(20, "set globex 300");
        s.At(20, "set globey 400").At(50, "click cmdLeft").At(60, "click cmdStop");
        s.At(150, "screen " + ScreenFile("ending_antimatter"));
        cases.push_back({"ending_antimatter", 31, s});
    }
    {
        // Super energy weapon: 142 stars and the cube ten steps above row 140.
        Script s;
        s.Idle("stars 142").Idle("click cmdStart").At(20, "set cubey 130");
        s.At(40, "click cmdShields").At(240, "screen " + ScreenFile("ending_super_weapon"));
        cases.push_back({"ending_super_weapon", 8, s});
    }
    {
        // Victory: a torpedo and three phaser hits carry 490 past 499, with shields up and
        // the win score raised for the next game.
        Script s;
        s.Idle("harder").Idle("click cmdStart");
        s.At(20, "set score 490").At(20, "set cubex 270").At(20, "set cubey 300");
        s.At(30, "keyup 32").At(40, "mouseup 1 326 350").At(50, "click cmdShields");
        s.At(100, "keyup 17").At(200, "click cmdPhaser").At(300, "mouseup 2 5 5");
        s.At(300, "screen " + ScreenFile("ending_victory"));
        s.Idle("print winscore");
        cases.push_back({"ending_victory", 12, s});
    }
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.name);
        CheckGolden(c);
    }
}
