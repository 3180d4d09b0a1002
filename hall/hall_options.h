#pragma once
// korvane-hall's command line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane::hall {

struct HallOptions {
    enum class Mode { Serve, Verify, Help, Version } mode = Mode::Serve;
    std::string verifyFile;
    std::string database;  // a file for SQLite, or postgresql://...
    std::string listen = "127.0.0.1";
    int port = 8643;
    std::string webDir;  // the browser build served under /play/
    int64_t ticketLifetime = 2 * 3600;
    int threads = 8;
    int64_t maxFrames = 2'000'000;  // the replay's frame limit
};

extern const char kHallHelp[];

// The options, or a one-line reason they are wrong.
std::optional<HallOptions> ParseHallOptions(const std::vector<std::string>& args, std::string& why);

}  // namespace korvane::hall
