#pragma once
// korvane-hall's command line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "live/live_options.h"

namespace korvane::hall {

struct HallOptions : LiveOptions {
    enum class Mode { Serve, Verify, Hide, Unhide, Release, Help, Version } mode = Mode::Serve;
    std::string file;                    // verify's recording
    std::optional<uint64_t> ticketSeed;  // and the seed of the ticket it was played for
    int64_t scoreId = 0;                 // hide's and unhide's
    std::string reason;
    std::string playerName;              // release's
    std::string database;  // a file for SQLite, or postgresql://...
    std::string passwordFile;
    std::string listen = "127.0.0.1";
    int port = 8643;
    std::string webDir;  // the browser build served under /play/
    int64_t ticketLifetime = 2 * 3600;
    int httpThreads = 0;            // 0: one per core
    int replayWorkers = 0;          // 0: one per core
    int replayQueue = 64;
    int maxConnections = 1000;
    int maxConnectionsPerAddress = 32;
    int requestTimeout = 30;
    int idleTimeout = 15;
    int ticketsPerMinute = 30;
    int openTickets = 10;
    int submissionsPerMinute = 30;
    int bodyMemoryMiB = 32;  // request bodies being received, all together
    std::vector<std::string> trustedProxies;
    // Live play's own are in LiveOptions.
    int watchers = 5000;  // watchers of live games in all, on this hall
    int watchersPerAddress = 32;
    int keepDays = 7;  // a live game's address, a refused game's lines: kept for moderation
    // Tickets without their seed, and no whole recording taken: every game is played live.
    // Off only for a hall that trusts its clients (--whole-recordings): a test's, the
    // benchmark's, an import of recordings.
    bool liveOnly = true;
};

extern const char kHallHelp[];

// Whether text is an IPv4 or IPv6 address, as --listen, --trusted-proxy and a proxy's
// X-Forwarded-For give one.
bool IsAddress(const std::string& text);

// The options, or a one-line reason they are wrong.
std::optional<HallOptions> ParseHallOptions(const std::vector<std::string>& args, std::string& why);

}  // namespace korvane::hall
