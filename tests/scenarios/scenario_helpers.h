#pragma once
// Small tools shared by the scenario tests: build a script, run it through the in-process
// korvane-sim runner, and pick lines, printed variables and pixels out of its log.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim_runner.h"

namespace scen {

// Colours as the viewscreen holds them, 0x00BBGGRR.
inline constexpr uint32_t kBlack = 0x00000000;
inline constexpr uint32_t kYellow = 0x0000FFFF;
inline constexpr uint32_t kWhite = 0x00FFFFFF;
inline constexpr uint32_t kRed = 0x000000FF;
inline constexpr uint32_t kCyan = 0x00FFFF00;
inline constexpr uint32_t kGreen = 0x0000FF00;
inline constexpr uint32_t kBlue = 0x00FF0000;
inline constexpr uint32_t kMagenta = 0x00FF00FF;
inline constexpr uint32_t kGrey = 0x00808080;
inline constexpr uint32_t kTeal = 0x00444D00;  // the cube's body, (0,77,68)

// A script written line by line. The `At` lines between two idle lines may be written in
// any order: the text puts them in frame order (keeping the written order within a frame).
class Script {
  public:
    Script& Idle(const std::string& command);
    Script& At(int64_t frame, const std::string& command);
    // Writes `command` into the yield of every frame from `first` to `last`.
    Script& Every(int64_t first, int64_t last, const std::string& command);
    // Puts an antimatter globe in flight far outside the viewscreen, so that no globe is
    // launched (one is already in flight) and none can reach the ship for a long while.
    // Keeps the enemy's chance attack out of tests about something else.
    Script& ParkGlobe(int64_t frame);
    std::string Text() const;

  private:
    struct Entry {
        std::optional<int64_t> frame;
        std::string command;
    };
    std::vector<Entry> entries_;
};

// A started game at 0 stars (the fastest) with the enemy's chance attacks kept out: a
// parked globe and no super energy weapon.
Script QuietGame();

struct RunOptions {
    uint64_t seed = 1;
    int32_t width = 1024;
    int32_t height = 768;
    int64_t maxFrames = 100000;
};

struct LogLine {
    int64_t frame = 0;
    std::string event;  // everything after the frame number
};

class Log {
  public:
    explicit Log(const std::string& text);

    const std::vector<LogLine>& Lines() const { return lines_; }
    const std::string& Text() const { return text_; }

    // The events of one frame, in order.
    std::vector<std::string> At(int64_t frame) const;
    // The same without the answers to print, dump and pixel and without the run's end line:
    // what the game itself did in that frame.
    std::vector<std::string> GameEventsAt(int64_t frame) const;
    // The events that start with `prefix`, with their frames.
    std::vector<LogLine> Matching(const std::string& prefix) const;
    int Count(const std::string& event) const;
    bool Has(const std::string& event) const { return Count(event) > 0; }
    // The frame of the first line that equals `event`, or -1.
    int64_t FirstFrameOf(const std::string& event) const;

    // The value of `print NAME` run in frame `frame` (the last one printed there).
    std::optional<std::string> Var(const std::string& name, int64_t frame) const;
    // Every value printed for NAME, in order.
    std::vector<std::string> Vars(const std::string& name) const;
    // The colour answered to `pixel X Y` in frame `frame`.
    std::optional<uint32_t> Pixel(int x, int y, int64_t frame) const;

    // True when the events appear in this order (other lines may lie between them),
    // starting the search at the first line of frame `fromFrame`.
    bool InOrder(const std::vector<std::string>& events, int64_t fromFrame = 0) const;

  private:
    std::string text_;
    std::vector<LogLine> lines_;
};

struct SimRun {
    korvane::sim::SimResult result;
    Log log;
};

SimRun RunScript(const Script& script, const RunOptions& options = {});
SimRun RunScript(const std::string& script, const RunOptions& options = {});

// The game's random generator, re-made from its published definition so that the tests can
// predict what a seed must give.
class SplitMix {
  public:
    explicit SplitMix(uint64_t seed) : state_(seed) {}
    uint64_t NextZ();
    int Rand(int n);  // floor(r x n)

  private:
    uint64_t state_;
};

// A viewscreen written by `screen FILE`.
struct Screen {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;    // the whole PPM file
    std::vector<uint32_t> pixels;  // 0x00BBGGRR, row-major
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// Reads the file and removes it.
std::optional<Screen> TakeScreen(const std::string& path);
// A file name in the test's temporary directory, unique to this test.
std::string TempPath(const std::string& name);

uint64_t Fnv1a64(const std::vector<uint8_t>& bytes);

}  // namespace scen
