// Keyboard, mouse and hint commands: the conditions under which each acts, the ship keys,
// the shield key, the hint rotation with its sounds, and the sound switch.

#include <gtest/gtest.h>

#include "scenario_helpers.h"

using namespace scen;

namespace {

const char* const kQuotations[] = {
    "'That which would destroy you, makes you strong.' -- Halvorsk",
    "'Remember the Tessarine.' -- Velkor of Ardanis",
    "'A warrior's mettle is only truly tested by an insurmountable foe.' -- Old Garrath "
    "proverb.",
    "'Resistance is futile.' -- The Vessik",
};

}  // namespace

TEST(Input, FireLaunchAndShieldCommandsNeedARunningGame) {
    const std::string commands =
        "keyup 17\nkeyup 32\nkeyup 83\nmouseup 2 100 100\nmouseup 4 100 100\n"
        "mouseup 1 100 100\nclick cmdPhaser\nclick cmdPhoton\nclick cmdShields\n";
    const SimRun idle = RunScript(std::string());
    // Before the first game: the log is that of a run that does nothing.
    const SimRun before = RunScript(commands + "print targetx\nprint shieldsOn\n");
    EXPECT_EQ(before.result.log, idle.result.log.substr(0, idle.result.log.size() - 6) +
                                     "0 var targetx 0\n0 var shieldsOn False\n0 end\n");

    // After a game has ended: nothing follows its teardown.
    const SimRun after = RunScript("click cmdStart\nat 10 click cmdStart\n" + commands);
    EXPECT_EQ(after.log.GameEventsAt(10),
              (std::vector<std::string>{"sound 108 1", "controls off", "teardown", "teardown"}));
    EXPECT_EQ(after.log.Lines().back().event, "end");
}

TEST(Input, CtrlWhileRechargingAndSpaceWithAllSlotsBusyAreIgnoredSilently) {
    Script s = QuietGame();
    s.At(10, "keyup 17").At(11, "keyup 17").At(11, "mouseup 2 50 50");
    s.At(12, "keyup 32").At(12, "keyup 32").At(12, "keyup 32");
    s.At(13, "keyup 32").At(13, "mouseup 4 50 50").At(13, "click cmdPhoton");
    s.At(14, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.GameEventsAt(10), std::vector<std::string>{"sound 105 1"});
    EXPECT_TRUE(log.GameEventsAt(11).empty());
    EXPECT_EQ(log.Count("sound 110 1"), 3);
    EXPECT_EQ(log.FirstFrameOf("sound 110 1"), 12);
    EXPECT_TRUE(log.GameEventsAt(13).empty());
}

TEST(Input, ShipKeysSteerLikeTheButtons) {
    Script s;
    // While no game runs the keys still steer; the next game start resets the direction.
    s.Idle("keyup 90").Idle("print deltax");
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(2).At(2, "set supervessik False");
    s.At(3, "print deltax");
    for (int64_t f = 10; f <= 14; ++f) s.At(f, "set oddturn False");  // frames that do not move
    s.At(10, "keyup 90").At(10, "keyup 90").At(10, "print deltax");
    s.At(11, "keyup 67").At(11, "print deltax");
    s.At(12, "keyup 67").At(12, "print deltax").At(12, "keyup 88").At(12, "print deltax");
    s.At(13, "keyup 90").At(13, "print deltax").At(13, "keyup 88").At(13, "print deltax");
    s.At(14, "print x");
    s.At(20, "set oddturn True").At(20, "keyup 90");
    s.At(21, "print x").At(21, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Var("deltax", 0), "-1");
    EXPECT_EQ(log.Var("deltax", 3), "0");
    EXPECT_EQ(log.Var("deltax", 10), "-1") << "Z, Z moves left";
    EXPECT_EQ(log.Var("deltax", 11), "0") << "Z, C stops";
    const std::vector<std::string> all = log.Vars("deltax");
    ASSERT_EQ(all.size(), 8u);
    EXPECT_EQ(all[4], "1") << "C from standstill moves right";
    EXPECT_EQ(all[5], "0") << "X stops a ship moving right";
    EXPECT_EQ(all[6], "-1");
    EXPECT_EQ(all[7], "0") << "X stops a ship moving left";
    EXPECT_EQ(log.Var("x", 14), "320");
    EXPECT_EQ(log.Var("x", 21), "319");
}

TEST(Input, ShieldKeyTogglesAndAfterTheShotOnlyPlaysItsSound) {
    Script s = QuietGame();
    s.At(10, "keyup 83").At(10, "print shieldsOn");
    s.At(11, "keyup 83").At(11, "print shieldsOn");
    s.At(12, "set shieldsdestroyed True").At(12, "keyup 83").At(12, "print shieldsOn");
    s.At(13, "click cmdShields").At(13, "print shieldsOn");
    s.At(14, "click cmdStart");
    s.Idle("keyup 83").Idle("print shieldsOn");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.At(10), (std::vector<std::string>{"sound 114 1", "var shieldsOn True"}));
    EXPECT_EQ(log.At(11), (std::vector<std::string>{"sound 114 1", "var shieldsOn False"}));
    EXPECT_EQ(log.At(12), (std::vector<std::string>{"sound 114 1", "var shieldsOn False"}));
    EXPECT_EQ(log.At(13), (std::vector<std::string>{"sound 114 1", "var shieldsOn False"}));
    // With no game: no sound, nothing changes.
    EXPECT_EQ(log.Count("sound 114 1"), 4);
    EXPECT_EQ(log.Vars("shieldsOn").back(), "False");
}

TEST(Input, HintsRotateThroughFourQuotationsAcrossButtonKeyAndGames) {
    Script s;
    s.Idle("click cmdHint").Idle("keyup 72");
    s.Idle("stars 0").Idle("click cmdStart");
    s.At(10, "keyup 72").At(10, "click cmdHint");
    // The button keeps its choice to itself: the key's last choice stays in the variables.
    s.At(10, "print hintsound").At(10, "print hinttext").At(20, "click cmdStart");
    s.Idle("keyup 72").Idle("print hintcount").Idle("print hintsound").Idle("print hinttext");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    std::vector<std::string> hints;
    for (const LogLine& l : log.Lines()) {
        const std::string& e = l.event;
        if (e.rfind("msgbox ", 0) == 0 || e == "sound 103 1" || e == "sound 104 1" ||
            e == "sound 107 1" || e == "sound 112 1") {
            hints.push_back(e);
        }
    }
    EXPECT_EQ(hints,
              (std::vector<std::string>{"sound 103 1", std::string("msgbox ") + kQuotations[0],
                                        "sound 104 1", std::string("msgbox ") + kQuotations[1],
                                        "sound 107 1", std::string("msgbox ") + kQuotations[2],
                                        "sound 112 1", std::string("msgbox ") + kQuotations[3],
                                        "sound 103 1", std::string("msgbox ") + kQuotations[0]}));
    EXPECT_EQ(log.Var("hintsound", 10), "107");
    EXPECT_EQ(log.Var("hinttext", 10), kQuotations[2]);
    EXPECT_EQ(log.Var("hintcount", 20), "1");
    EXPECT_EQ(log.Var("hintsound", 20), "103");
    EXPECT_EQ(log.Var("hinttext", 20), kQuotations[0]);
}

TEST(Input, HelpPlaysItsSoundBeforeTheAboutBox) {
    Script s;
    s.Idle("keyup 65").Idle("click cmdHelp");
    const SimRun run = RunScript(s);
    EXPECT_TRUE(
        run.log.InOrder({"sound 101 1", "dialog frmAbout", "sound 101 1", "dialog frmAbout"}));
    EXPECT_EQ(run.log.Count("dialog frmAbout"), 2);
}

TEST(Input, WithSoundOffAWholeGameIsSilent) {
    Script s;
    s.Idle("click cmdSound").Idle("stars 0").Idle("click cmdStart").ParkGlobe(2);
    s.At(2, "set supervessik False");
    s.At(10, "keyup 17").At(11, "print phaserrecharging").At(12, "keyup 83");
    s.At(13, "print shieldsOn").At(13, "keyup 72");
    s.At(14, "keyup 65").At(15, "click cmdHint");
    // A torpedo into the cube, a phaser hit, then a victory with its three explosions.
    s.At(20, "set oddturn True").At(20, "set cubeanger 0").At(20, "set cubex 270");
    s.At(20, "set cubey 299").At(20, "set cubestep 24");
    s.Every(21, 80, "set cubestep 0");
    s.At(21, "keyup 32");
    s.At(120, "set crossy 350").At(120, "click cmdPhaser");
    s.At(130, "set score 500");
    s.Idle("click cmdSound").Idle("keyup 72");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    const int64_t off = log.FirstFrameOf("text cmdSound sound: OFF");
    ASSERT_EQ(off, 0);
    // Every event happened: phasers, torpedo, shields, hints, About box, detonation, a
    // phaser hit, a victory...
    EXPECT_EQ(log.FirstFrameOf("option 1 False"), 21);
    EXPECT_EQ(log.Var("shieldsOn", 13), "True");
    EXPECT_EQ(log.Var("phaserrecharging", 11), "True");
    EXPECT_EQ(log.Matching("msgbox").size(), 3u);
    EXPECT_TRUE(log.Has("dialog frmAbout"));
    EXPECT_TRUE(log.Has("text txtScore 5"));
    EXPECT_TRUE(log.Has("text txtScore 7"));
    EXPECT_TRUE(log.Has("dialog frmUWin"));
    // ...and none of them made a sound until the switch was turned on again.
    size_t soundLines = 0, i = 0;
    const std::vector<LogLine>& lines = log.Lines();
    for (; i < lines.size() && lines[i].event != "text cmdSound sound: ON"; ++i) {
        soundLines += lines[i].event.rfind("sound ", 0) == 0;
    }
    EXPECT_EQ(soundLines, 0u);
    // The caption was "sound: ON" at start-up; the first switch turned it off, the reload at
    // the game start kept it, the second switch turned it on.
    const std::vector<LogLine> captions = log.Matching("text cmdSound ");
    std::vector<std::string> texts;
    for (const LogLine& l : captions) texts.push_back(l.event);
    EXPECT_EQ(texts,
              (std::vector<std::string>{"text cmdSound sound: ON", "text cmdSound sound: OFF",
                                        "text cmdSound sound: OFF", "text cmdSound sound: ON"}));
    ASSERT_LT(i, lines.size());
    EXPECT_EQ(lines.back().event, "end");
    EXPECT_EQ(lines[lines.size() - 3].event, "sound 107 1") << "the third hint, with sound";
}
