#pragma once
// korvane-hall's command line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane::hall {

struct HallOptions {
    enum class Mode { Serve, Verify, Hide, Unhide, Release, Help, Version } mode = Mode::Serve;
    std::string file;                    // verify's recording
    std::optional<uint64_t> ticketSeed;  // and the seed of the ticket it was played for
    int64_t scoreId = 0;                 // hide's and unhide's
    std::string reason;
    std::string playerName;              // release's
    std::string database;  // a file for SQLite, or postgresql://...
    std::string passwordFile;
    std::string listen = "127.0.0.1";
    // The name this hall is reached by, which another hall's 421 answer gives for a live
    // game this one plays (default: the machine's name and the port).
    std::string name;
    int port = 8643;
    std::string webDir;  // the browser build served under /play/
    int64_t ticketLifetime = 2 * 3600;
    int64_t maxFrames = 2'000'000;  // the replay's frame limit
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
    // Live play.
    int liveGames = 2000;         // in progress at once, on this hall
    int liveGamesPerAddress = 2;  // from one address at once
    int liveStartsPerHour = 20;   // live games one address may open an hour
    int watchersPerGame = 2000;
    int watchers = 5000;      // in all, on this hall
    int watchersPerAddress = 32;
    int liveStall = 10;       // seconds without a batch outside a dialog
    int liveDialog = 600;     // seconds an outcome dialog may hold the game without a batch
    int liveStart = 60;       // seconds from the opening to the first frame
    int livePauses = 3;       // dialogs the player may open during the game
    int livePauseTime = 60;   // seconds they may hold it, all together
    int livePaceWindow = 10;  // seconds over which the frames' pace is measured
    int liveLateMs = 2000;    // how late a batch may arrive
    int keepDays = 7;  // a live game's address, a refused game's lines: kept for moderation
    // Tickets without their seed, and no whole recording taken: every game is played live.
    // Off only for a hall that trusts its clients (--whole-recordings): a test's, the
    // benchmark's, an import of recordings.
    bool liveOnly = true;
};

extern const char kHallHelp[];

// The options, or a one-line reason they are wrong.
std::optional<HallOptions> ParseHallOptions(const std::vector<std::string>& args, std::string& why);

}  // namespace korvane::hall
