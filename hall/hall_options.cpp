#include "hall_options.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>

#include "hall_paths.h"

namespace korvane::hall {

const char kHallHelp[] =
    "Usage: korvane-hall [OPTIONS]               serve the hall of fame\n"
    "       korvane-hall verify FILE [--seed N]  check a recording as the hall would (N:\n"
    "                                            the ticket's seed, if known)\n"
    "       korvane-hall hide ID --reason TEXT   take a score out of the table\n"
    "       korvane-hall unhide ID               put it back\n"
    "       korvane-hall release NAME            free a player's name (its key is lost): the\n"
    "                                            next score under it claims it again\n"
    "       korvane-hall --help | --version\n"
    "\n"
    "A hall of fame whose every score is proven: a score is stored only when replaying its\n"
    "recording with the game's engine gives exactly that score.\n"
    "\n"
    "  --database FILE|URL        SQLite file, or postgresql://USER@HOST[:PORT]/DB, or\n"
    "                             postgresql://[USER@]/DB?host=/run/postgresql (the socket)\n"
    "                             (default: /var/lib/korvane-hall/hall.sqlite when installed,\n"
    "                             hall.sqlite in the project folder when run from its build)\n"
    "  --db-password-file FILE    PostgreSQL's password, from the file's first line\n"
    "                             (PGPASSWORD is read too; a password in the URL shows in ps)\n"
    "  --port N                   port to listen on (default 8643)\n"
    "  --listen ADDRESS           IPv4 or IPv6 address to listen on (default 127.0.0.1)\n"
    "  --name NAME                the name this hall is reached by, which another hall of\n"
    "                             the database gives for a live game this one plays\n"
    "                             (default: the machine's name and the port)\n"
    "  --web DIR                  the browser build served under /play/ (default: the\n"
    "                             installed one, or build-web in the project folder)\n"
    "  --ticket-lifetime SECS     how long a ticket is valid (default 7200)\n"
    "  --max-frames N             the longest game a replay runs, in frames (default 2000000)\n"
    "  --threads N                event loops serving HTTP (default: one per core)\n"
    "  --replay-workers N         replays at once (default: one per core)\n"
    "  --replay-queue N           submissions waiting for a replay before 503 (default 64)\n"
    "  --max-connections N        connections at once (default 1000)\n"
    "  --max-connections-per-address N   from one address (default 32)\n"
    "  --request-timeout SECS     for a request's headers and body together (default 30)\n"
    "  --idle-timeout SECS        for a connection with nothing to say (default 15)\n"
    "  --tickets-per-minute N     tickets one address may take a minute (default 30)\n"
    "  --open-tickets N           tickets one address may hold unused (default 10)\n"
    "  --submissions-per-minute N scores one address may send a minute (default 30)\n"
    "  --body-memory MIB          request bodies being received, all together (default 32)\n"
    "  --live-games N             live games in progress at once (default 2000)\n"
    "  --live-games-per-address N live games of one address at once (default 2)\n"
    "  --live-starts-per-hour N   live games one address may open an hour (default 20)\n"
    "  --watchers-per-game N      watchers of one live game (default 2000)\n"
    "  --watchers N               watchers of live games in all (default 5000)\n"
    "  --watchers-per-address N   watchers from one address (default 32); watchers are\n"
    "                             connections beside --max-connections, never in its place\n"
    "  --live-start SECS          a live game's first frame comes this soon after its\n"
    "                             opening (default 60)\n"
    "  --live-pauses N            dialogs the player may open during a live game (default 3)\n"
    "  --live-pause-time SECS     the time they may hold it, all together (default 60)\n"
    "  --live-stall SECS          a live game's silence outside a dialog (default 10)\n"
    "  --live-dialog SECS         its silence while an outcome dialog, or the time between\n"
    "                             games, holds it (default 600)\n"
    "  --live-pace-window SECS    the window its pace is measured over (default 10)\n"
    "  --live-late-ms N           how late its batches may arrive (default 2000)\n"
    "  --keep-days N              days a live game's address, and the lines of one that did\n"
    "                             not reach the table, are kept for moderation (default 7)\n"
    "  --live-only                every game played live: a ticket shows no seed, and no\n"
    "                             whole recording is taken (the default)\n"
    "  --whole-recordings         also take a whole recording at once, and show a ticket's\n"
    "                             seed: only for clients it trusts, never on the internet\n"
    "  --trusted-proxy ADDRESS    a proxy whose X-Forwarded-For names the client\n"
    "                             (repeatable; its requests may also read /metrics)\n"
    "  --reason TEXT              why a score is hidden (hide)\n"
    "  --help, --version          show this help or the version and exit\n"
    "\n"
    "verify exits 0 when the hall would take the game, 3 when it would refuse it (saying\n"
    "why, as the hall would), 2 for a file that cannot be read.\n";

namespace {

bool ParseInt(const std::string& text, int64_t lo, int64_t hi, int64_t& out) {
    auto [ptr, err] = std::from_chars(text.data(), text.data() + text.size(), out);
    return err == std::errc() && ptr == text.data() + text.size() && out >= lo && out <= hi;
}

// An option that takes a count: its name, the field, and its range.
struct CountOption {
    const char* name;
    int HallOptions::*field;
    int64_t lo, hi;
};

const CountOption kCounts[] = {
    {"--port", &HallOptions::port, 1, 65535},
    {"--threads", &HallOptions::httpThreads, 1, 256},
    {"--replay-workers", &HallOptions::replayWorkers, 1, 256},
    {"--replay-queue", &HallOptions::replayQueue, 1, 100000},
    {"--max-connections", &HallOptions::maxConnections, 1, 1000000},
    {"--max-connections-per-address", &HallOptions::maxConnectionsPerAddress, 1, 1000000},
    {"--request-timeout", &HallOptions::requestTimeout, 1, 3600},
    {"--idle-timeout", &HallOptions::idleTimeout, 1, 3600},
    {"--tickets-per-minute", &HallOptions::ticketsPerMinute, 1, 1000000},
    {"--open-tickets", &HallOptions::openTickets, 1, 1000000},
    {"--submissions-per-minute", &HallOptions::submissionsPerMinute, 1, 1000000},
    {"--live-games", &HallOptions::liveGames, 1, 100000},
    {"--live-games-per-address", &HallOptions::liveGamesPerAddress, 1, 100000},
    {"--live-starts-per-hour", &HallOptions::liveStartsPerHour, 1, 1000000},
    {"--watchers-per-game", &HallOptions::watchersPerGame, 1, 1000000},
    {"--watchers", &HallOptions::watchers, 1, 1000000},
    {"--watchers-per-address", &HallOptions::watchersPerAddress, 1, 1000000},
    {"--body-memory", &HallOptions::bodyMemoryMiB, 2, 1000000},
    {"--live-start", &HallOptions::liveStart, 1, 3600},
    {"--live-pauses", &HallOptions::livePauses, 0, 1000},
    {"--live-pause-time", &HallOptions::livePauseTime, 0, 86400},
    {"--live-stall", &HallOptions::liveStall, 1, 3600},
    {"--live-dialog", &HallOptions::liveDialog, 1, 86400},
    {"--live-pace-window", &HallOptions::livePaceWindow, 1, 3600},
    {"--live-late-ms", &HallOptions::liveLateMs, 0, 60000},
    {"--keep-days", &HallOptions::keepDays, 1, 3650},
};

// A subcommand's word and its one argument, or nothing when args start with an option.
bool Subcommand(const std::vector<std::string>& args, HallOptions& o, std::string& why) {
    const std::string& word = args[0];
    if (word != "verify" && word != "hide" && word != "unhide" && word != "release") return true;
    if (args.size() < 2) {
        why = "usage: korvane-hall " + word +
              (word == "verify" ? " FILE" : word == "release" ? " NAME" : " ID");
        return false;
    }
    if (word == "release") {
        o.mode = HallOptions::Mode::Release;
        o.playerName = args[1];
        return true;
    }
    if (word == "verify") {
        o.mode = HallOptions::Mode::Verify;
        o.file = args[1];
        int64_t seed = 0;
        if (args.size() == 4 && args[2] == "--seed" && ParseInt(args[3], 0, INT64_MAX, seed)) {
            o.ticketSeed = static_cast<uint64_t>(seed);
        } else if (args.size() != 2) {
            why = "usage: korvane-hall verify FILE [--seed N]";
            return false;
        }
        return true;
    }
    o.mode = word == "hide" ? HallOptions::Mode::Hide : HallOptions::Mode::Unhide;
    if (!ParseInt(args[1], 1, INT64_MAX, o.scoreId)) {
        why = "not a score's id: '" + args[1] + "'";
        return false;
    }
    return true;
}

}  // namespace

bool IsAddress(const std::string& text) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, text.c_str(), buffer) == 1 ||
           inet_pton(AF_INET6, text.c_str(), buffer) == 1;
}

std::optional<HallOptions> ParseHallOptions(const std::vector<std::string>& args,
                                            std::string& why) {
    HallOptions o;
    o.database = DefaultDatabase();
    o.webDir = DefaultWebDir();
    size_t i = 0;
    if (!args.empty()) {
        if (!Subcommand(args, o, why)) return std::nullopt;
        if (o.mode == HallOptions::Mode::Verify) return o;
        if (o.mode != HallOptions::Mode::Serve) i = 2;
    }
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") return o.mode = HallOptions::Mode::Help, o;
        if (a == "--version") return o.mode = HallOptions::Mode::Version, o;
        if (a == "--live-only" || a == "--whole-recordings") {
            o.liveOnly = a == "--live-only";
            continue;
        }
        if (i + 1 >= args.size()) {
            why = "unknown option or missing value: '" + a + "' (see --help)";
            return std::nullopt;
        }
        const std::string& v = args[++i];
        int64_t n = 0;
        const CountOption* count = nullptr;
        for (const CountOption& c : kCounts) {
            if (a == c.name) count = &c;
        }
        if (count && ParseInt(v, count->lo, count->hi, n)) {
            o.*(count->field) = static_cast<int>(n);
        } else if (count) {
            why = "bad value '" + v + "' for " + a + ": " + std::to_string(count->lo) + " to " +
                  std::to_string(count->hi);
            return std::nullopt;
        } else if (a == "--database" && !v.empty()) {
            o.database = v;
        } else if (a == "--db-password-file" && !v.empty()) {
            o.passwordFile = v;
        } else if (a == "--listen" && IsAddress(v)) {
            o.listen = v;
        } else if (a == "--trusted-proxy" && IsAddress(v)) {
            o.trustedProxies.push_back(v);
        } else if (a == "--web") {
            o.webDir = v;
        } else if (a == "--name" && !v.empty() && v.size() <= 200) {
            o.name = v;
        } else if (a == "--reason") {
            o.reason = v;
        } else if (a == "--ticket-lifetime" && ParseInt(v, 1, 366 * 86400, n)) {
            o.ticketLifetime = n;
        } else if (a == "--max-frames" && ParseInt(v, 1, int64_t{1} << 40, n)) {
            o.maxFrames = n;
        } else {
            why = "bad option '" + a + " " + v + "' (see --help)";
            return std::nullopt;
        }
    }
    if (o.mode == HallOptions::Mode::Hide && o.reason.empty()) {
        why = "usage: korvane-hall hide ID --reason TEXT";
        return std::nullopt;
    }
    if (o.name.empty()) {
        char host[256] = "";
        gethostname(host, sizeof host - 1);
        o.name = std::string(host) + ":" + std::to_string(o.port);
    }
    return o;
}

}  // namespace korvane::hall
