#include "scenario_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace scen {

Script& Script::Idle(const std::string& command) {
    entries_.push_back({std::nullopt, command});
    return *this;
}

Script& Script::At(int64_t frame, const std::string& command) {
    entries_.push_back({frame, command});
    return *this;
}

std::string Script::Text() const {
    std::string text;
    std::vector<Entry> pending;
    auto flush = [&] {
        std::stable_sort(pending.begin(), pending.end(),
                         [](const Entry& a, const Entry& b) { return *a.frame < *b.frame; });
        for (const Entry& e : pending) {
            text += "at " + std::to_string(*e.frame) + " " + e.command + "\n";
        }
        pending.clear();
    };
    for (const Entry& e : entries_) {
        if (e.frame) {
            pending.push_back(e);
        } else {
            flush();
            text += e.command + "\n";
        }
    }
    flush();
    return text;
}

Script& Script::Every(int64_t first, int64_t last, const std::string& command) {
    for (int64_t f = first; f <= last; ++f) At(f, command);
    return *this;
}

Script& Script::ParkGlobe(int64_t frame) {
    At(frame, "set antimatter True");
    At(frame, "set globex -10000");
    return At(frame, "set globey -10000");
}

Log::Log(const std::string& text) : text_(text) {
    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
        const size_t space = raw.find(' ');
        LogLine line;
        line.frame = std::stoll(raw.substr(0, space));
        line.event = space == std::string::npos ? "" : raw.substr(space + 1);
        lines_.push_back(std::move(line));
    }
}

std::vector<std::string> Log::At(int64_t frame) const {
    std::vector<std::string> out;
    for (const LogLine& l : lines_) {
        if (l.frame == frame) out.push_back(l.event);
    }
    return out;
}

std::vector<std::string> Log::GameEventsAt(int64_t frame) const {
    std::vector<std::string> out;
    for (const std::string& e : At(frame)) {
        if (e.rfind("var ", 0) == 0 || e.rfind("pixel ", 0) == 0 || e == "end") continue;
        out.push_back(e);
    }
    return out;
}

std::vector<LogLine> Log::Matching(const std::string& prefix) const {
    std::vector<LogLine> out;
    for (const LogLine& l : lines_) {
        if (l.event.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
    }
    return out;
}

int Log::Count(const std::string& event) const {
    int n = 0;
    for (const LogLine& l : lines_) n += l.event == event ? 1 : 0;
    return n;
}

int64_t Log::FirstFrameOf(const std::string& event) const {
    for (const LogLine& l : lines_) {
        if (l.event == event) return l.frame;
    }
    return -1;
}

std::optional<std::string> Log::Var(const std::string& name, int64_t frame) const {
    const std::string prefix = "var " + name + " ";
    std::optional<std::string> value;
    for (const LogLine& l : lines_) {
        if (l.frame == frame && l.event.compare(0, prefix.size(), prefix) == 0) {
            value = l.event.substr(prefix.size());
        }
    }
    return value;
}

std::vector<std::string> Log::Vars(const std::string& name) const {
    const std::string prefix = "var " + name + " ";
    std::vector<std::string> out;
    for (const LogLine& l : lines_) {
        if (l.event.compare(0, prefix.size(), prefix) == 0) {
            out.push_back(l.event.substr(prefix.size()));
        }
    }
    return out;
}

std::optional<uint32_t> Log::Pixel(int x, int y, int64_t frame) const {
    const std::string prefix = "pixel " + std::to_string(x) + " " + std::to_string(y) + " ";
    std::optional<uint32_t> value;
    for (const LogLine& l : lines_) {
        if (l.frame == frame && l.event.compare(0, prefix.size(), prefix) == 0) {
            value = static_cast<uint32_t>(std::stoul(l.event.substr(prefix.size()), nullptr, 16));
        }
    }
    return value;
}

bool Log::InOrder(const std::vector<std::string>& events, int64_t fromFrame) const {
    size_t want = 0;
    for (const LogLine& l : lines_) {
        if (want == events.size()) break;
        if (l.frame < fromFrame) continue;
        if (l.event == events[want]) ++want;
    }
    return want == events.size();
}

SimRun RunScript(const std::string& script, const RunOptions& options) {
    korvane::sim::SimOptions sim;
    sim.seed = options.seed;
    sim.screen = {options.width, options.height};
    sim.maxFrames = options.maxFrames;
    korvane::sim::SimResult result = korvane::sim::RunSimScript(script, sim);
    Log log(result.log);
    return SimRun{std::move(result), std::move(log)};
}

SimRun RunScript(const Script& script, const RunOptions& options) {
    return RunScript(script.Text(), options);
}

uint64_t SplitMix::NextZ() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int SplitMix::Rand(int n) {
    const double r = static_cast<double>(NextZ() >> 11) * 0x1.0p-53;
    return static_cast<int>(std::floor(r * n));
}

std::optional<Screen> TakeScreen(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    Screen s;
    s.bytes.assign(std::istreambuf_iterator<char>(in), {});
    in.close();
    std::remove(path.c_str());
    std::string header(s.bytes.begin(), s.bytes.end());
    std::istringstream h(header);
    std::string magic;
    int maxValue = 0;
    if (!(h >> magic >> s.width >> s.height >> maxValue) || magic != "P6" || maxValue != 255) {
        return std::nullopt;
    }
    const size_t dataStart = static_cast<size_t>(h.tellg()) + 1;  // one whitespace byte
    const size_t count = static_cast<size_t>(s.width) * s.height;
    if (s.bytes.size() != dataStart + 3 * count) return std::nullopt;
    s.pixels.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = &s.bytes[dataStart + 3 * i];
        s.pixels[i] = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                      (static_cast<uint32_t>(p[2]) << 16);
    }
    return s;
}

std::string TempPath(const std::string& name) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string base = info ? std::string(info->test_suite_name()) + "." + info->name() : "scen";
    return ::testing::TempDir() + "korvane_" + base + "_" + name;
}

uint64_t Fnv1a64(const std::vector<uint8_t>& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}

Script QuietGame() {
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(2).At(2, "set supervessik False");
    return s;
}

}  // namespace scen
