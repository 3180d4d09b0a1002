// Replays: every script under this folder (*.kvs) runs through korvane-sim's command line,
// in-process, and everything it gives must match the file beside it (NAME.kvs -> NAME.log):
// the whole log, the exit status and message of a refused run, and a hash of each viewscreen
// the script writes with `screen FILE` (a bare file name, written in a scratch folder).
//
// A script may hold several runs: a line `# korvane-sim [OPTIONS]` starts a new one with
// those command-line options (the first run needs it only for options). Two shorthands keep
// the scripts short, and are expanded before the run:
//   at 500..5000/500 print score    the command in every 500th frame from 500 to 5000
//   at 20 set cubex 270; set cubey 350   several commands in one frame, in this order
// The `at` lines between two other lines are put in frame order (the same frame keeps the
// written order), so a range may be written before the single frames inside it.
//
// After an intended change of behaviour, rewrite every expected file and review the diff:
//   KORVANE_UPDATE_GOLDEN=1 ctest --test-dir build -R Replay
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "sim_command_line.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Run {
    std::string header;  // the `# korvane-sim` line, or empty for the default options
    std::vector<std::string> args;
    std::string script;  // expanded
};

// Expands ranges and `;`, then puts each stretch of `at` lines in frame order.
std::string Expand(const std::vector<std::string>& lines) {
    static const std::regex at(R"(at (\d+)(?:\.\.(\d+)(?:/(\d+))?)? (.*))");
    std::string out;
    std::vector<std::pair<long long, std::string>> pending;
    auto flush = [&] {
        std::stable_sort(pending.begin(), pending.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [frame, command] : pending) {
            out += "at " + std::to_string(frame) + " " + command + "\n";
        }
        pending.clear();
    };
    for (const std::string& line : lines) {
        std::smatch m;
        if (!std::regex_match(line, m, at)) {
            flush();
            out += line + "\n";
            continue;
        }
        const long long first = std::stoll(m[1]);
        const long long last = m[2].matched ? std::stoll(m[2]) : first;
        const long long step = m[3].matched ? std::stoll(m[3]) : 1;
        for (long long f = first; f <= last; f += step) {
            std::istringstream commands(m[4].str());
            for (std::string c; std::getline(commands, c, ';');) {
                pending.emplace_back(f, c.substr(c.find_first_not_of(' ')));
            }
        }
    }
    flush();
    return out;
}

std::vector<Run> ReadRuns(const fs::path& file) {
    std::vector<Run> runs(1);
    std::vector<std::vector<std::string>> bodies(1);
    std::istringstream in(ReadFile(file));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("# korvane-sim", 0) == 0) {
            if (!bodies.back().empty() || !runs.back().header.empty()) {
                runs.emplace_back();
                bodies.emplace_back();
            }
            runs.back().header = line;
            std::istringstream words(line.substr(13));
            for (std::string w; words >> w;) runs.back().args.push_back(w);
        } else {
            bodies.back().push_back(line);
        }
    }
    for (size_t i = 0; i < runs.size(); ++i) runs[i].script = Expand(bodies[i]);
    return runs;
}

// What one file's runs give, as the expected file holds it.
std::string RunFile(const fs::path& file, const fs::path& scratch) {
    std::string got;
    for (const Run& run : ReadRuns(file)) {
        fs::remove_all(scratch);
        fs::create_directories(scratch);
        std::ofstream(scratch / "script.kvs", std::ios::binary) << run.script;
        const fs::path here = fs::current_path();
        fs::current_path(scratch);
        std::vector<std::string> args = run.args;
        args.push_back("script.kvs");
        const korvane::script::RunResult r = korvane::sim::RunSimCommandLine(args);
        fs::current_path(here);
        if (!run.header.empty()) got += run.header + "\n";
        got += r.log;
        if (r.exitCode != 0) got += "exit " + std::to_string(r.exitCode) + ": " + r.error + "\n";
        std::vector<fs::path> screens;
        for (const auto& e : fs::directory_iterator(scratch)) {
            if (e.path().extension() == ".ppm") screens.push_back(e.path());
        }
        std::sort(screens.begin(), screens.end());
        for (const fs::path& s : screens) {
            uint64_t h = 0xcbf29ce484222325ull;
            for (const char c : ReadFile(s)) h = (h ^ static_cast<uint8_t>(c)) * 0x100000001b3ull;
            std::ostringstream line;
            line << "screen " << s.filename().string() << " fnv1a64 " << std::hex << h << "\n";
            got += line.str();
        }
    }
    fs::remove_all(scratch);
    return got;
}

std::vector<std::string> Scripts() {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(KORVANE_SCENARIO_DIR)) {
        if (e.path().extension() == ".kvs") {
            names.push_back(fs::relative(e.path(), KORVANE_SCENARIO_DIR).replace_extension());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Replay : public ::testing::TestWithParam<std::string> {};

TEST_P(Replay, GivesItsExpectedLog) {
    const fs::path base = fs::path(KORVANE_SCENARIO_DIR) / GetParam();
    fs::path expectedFile = base;
    expectedFile += ".log";
    fs::path scriptFile = base;
    scriptFile += ".kvs";
    // One scratch folder per process: other checkouts may replay the same script meanwhile.
    const fs::path scratch = fs::temp_directory_path() / ("korvane_replay_" + base.stem().string() +
                                                          "_" + std::to_string(getpid()));
    const std::string got = RunFile(scriptFile, scratch);
    const char* update = std::getenv("KORVANE_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(expectedFile, std::ios::binary) << got;
        return;
    }
    ASSERT_TRUE(fs::exists(expectedFile)) << expectedFile << " is missing";
    const std::string want = ReadFile(expectedFile);
    EXPECT_EQ(want, got) << GetParam() << ": the replay differs from " << expectedFile;
}

INSTANTIATE_TEST_SUITE_P(, Replay, ::testing::ValuesIn(Scripts()),
                         [](const ::testing::TestParamInfo<std::string>& p) {
                             std::string name = p.param;
                             std::replace_if(
                                 name.begin(), name.end(), [](char c) { return !std::isalnum(c); },
                                 '_');
                             return name;
                         });

}  // namespace
