#include "hall_bench.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "hall_games.h"
#include "http_load.h"
#include "live_bench.h"
#include "proc_usage.h"

extern char** environ;

namespace korvane::bench {

namespace {

constexpr int kGames = 1000;            // submitted to each database
constexpr int kSubmitConnections = 16;  // clients submitting at once
constexpr int kReadConnections = 8;     // clients reading the table at once
constexpr double kReadSeconds = 5;
constexpr int kStoredScores = 1'000'000;

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// A korvane-hall of the benchmark's, its log in the work folder; the limits per client are
// lifted, as every request comes from this one address, and those on live games and
// connections raised above what the live measures need.
class Hall {
  public:
    Hall(std::string database, std::string folder)
        : database_(std::move(database)), folder_(std::move(folder)) {}
    ~Hall() { Stop(); }

    // On a port of its own, or (restarted) on the one it had.
    bool Start(bool samePort = false) {
        if (!samePort) port_ = FreePort();
        std::vector<std::string> args = {
            KORVANE_BENCH_HALL,    "--database", database_,           "--port",
            std::to_string(port_), "--web",      folder_ + "/no-page"};
        const std::string help = Output(std::string(KORVANE_BENCH_HALL) + " --help");
        std::vector<std::pair<std::string, std::string>> limits = LiveHallOptions();
        for (const char* limit :
             {"--tickets-per-minute", "--open-tickets", "--submissions-per-minute"}) {
            limits.emplace_back(limit, "1000000");
        }
        for (const auto& [limit, value] : limits) {
            if (help.find(limit + " ") != std::string::npos)
                args.insert(args.end(), {limit, value});
        }
        // The submissions are whole recordings: a hall that trusts its clients takes them.
        if (help.find("--whole-recordings") != std::string::npos)
            args.emplace_back("--whole-recordings");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        const std::string log = folder_ + "/hall.log";
        posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        const int spawned = posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        if (spawned != 0) return pid_ = 0, false;
        for (int i = 0; i < 300; ++i) {
            if (HttpConnection(port_).Send("GET", "/api/scores?limit=1").status == 200) return true;
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::fprintf(stderr, "korvane-bench: the hall did not start; its log:\n%s\n",
                     Output("tail -5 " + log).c_str());
        return false;
    }

    void Stop(int signal = SIGTERM) {
        if (pid_ <= 0) return;
        kill(pid_, signal);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

    int port() const { return port_; }
    pid_t pid() const { return pid_; }

  private:
    std::string database_;
    std::string folder_;
    pid_t pid_ = 0;
    int port_ = 0;
};

void PrintLatency(const char* what, const LatencyReport& r) {
    std::printf("  %-44s %7.0f/s  p50 %6.1f ms  p99 %6.1f ms  (%zu answered, %lld failed)\n", what,
                r.PerSecond(), r.Percentile(0.5) * 1000, r.Percentile(0.99) * 1000,
                r.seconds.size(), static_cast<long long>(r.failed));
}

struct Taken {
    std::vector<std::string> tickets;
    std::vector<uint64_t> seeds;
};

Taken TakeTickets(int port, int count) {
    Taken taken;
    HttpConnection connection(port);
    for (int i = 0; i < count; ++i) {
        const HttpAnswer a = connection.Send("POST", "/api/tickets");
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(a.body)).object();
        if (a.status != 201) continue;
        taken.tickets.push_back(o["ticket"].toString().toStdString());
        taken.seeds.push_back(static_cast<uint64_t>(o["seed"].toInteger()));
    }
    return taken;
}

// Submissions of fresh games from 16 clients, while one more reads the table.
void MeasureSubmissions(int port, pid_t hall) {
    const Taken taken = TakeTickets(port, kGames);
    const std::vector<HallGame> games = OneMinuteGames(taken.seeds);
    std::vector<std::string> bodies;
    double frames = 0;
    size_t scoreless = 0;
    for (size_t i = 0; i < games.size(); ++i) {
        // A game that scored nothing is refused by any hall: it measures nothing.
        if (games[i].score == 0) {
            ++scoreless;
            continue;
        }
        bodies.push_back(
            QJsonDocument(QJsonObject{{"ticket", QString::fromStdString(taken.tickets[i])},
                                      {"name", QString("bench %1").arg(i)},
                                      {"recording", QString::fromStdString(games[i].recording)}})
                .toJson(QJsonDocument::Compact)
                .toStdString());
        frames += static_cast<double>(games[i].frames);
    }
    if (bodies.empty()) return;
    const double replay = games.empty() ? 0 : ReplayCpuSeconds(games[0].recording);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf(
        "  %zu games of %.0f frames on average at 150 stars (%zu more scored nothing: left "
        "out); one replayed here takes %.1f ms of CPU: at most %.0f/s on %u cores\n",
        bodies.size(), frames / static_cast<double>(bodies.size()), scoreless, replay * 1000,
        replay > 0 ? cores / replay : 0.0, cores);
    std::atomic<int64_t> busy{0};
    std::mutex refusalsLock;
    std::map<std::string, int> refusals;  // by the hall's error code
    std::atomic<bool> submitting{true};
    LatencyReport reads;
    // One reader, a request every 10 ms: the replays keep the cores, as with real visitors.
    std::thread reader([&] {
        reads = ClosedLoop(port, 1, 3600, 0.01, [&](HttpConnection& c, int64_t) {
            if (!submitting) return Outcome::kDone;
            return c.Send("GET", "/api/scores?limit=100").status == 200 ? Outcome::kCounted
                                                                        : Outcome::kFailed;
        });
    });
    const ProcessSnapshot before = Snapshot(hall);
    const LatencyReport submissions =
        ClosedLoop(port, kSubmitConnections, 3600, 0, [&](HttpConnection& c, int64_t n) {
            if (n >= static_cast<int64_t>(bodies.size())) return Outcome::kDone;
            // A busy hall (503 busy) is asked again a little later, a hundred times at most;
            // the wait counts.
            for (int attempt = 0;; ++attempt) {
                const HttpAnswer a = c.Send("POST", "/api/scores", bodies[n]);
                if (a.status == 201) return Outcome::kCounted;
                const std::string code = QJsonDocument::fromJson(QByteArray::fromStdString(a.body))
                                             .object()["error"]
                                             .toString()
                                             .toStdString();
                if (code != "busy" || attempt == 100) {
                    const std::lock_guard<std::mutex> hold(refusalsLock);
                    ++refusals[std::to_string(a.status) + " " + code];
                    return Outcome::kFailed;
                }
                ++busy;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    submitting = false;
    reader.join();
    const double cpu = Between(before, Snapshot(hall)).cpuSeconds;
    PrintLatency("verified one-minute games submitted", submissions);
    // What the machine's other work cannot change: the hall's own CPU time per game.
    if (!submissions.seconds.empty() && cpu > 0) {
        std::printf("  %-44s %.1f ms of the hall's CPU per game: %.0f/s on %u idle cores\n", "",
                    cpu * 1000 / static_cast<double>(submissions.seconds.size()),
                    cores * static_cast<double>(submissions.seconds.size()) / cpu, cores);
    }
    std::string refused;
    for (const auto& [why, count] : refusals) refused += ", " + std::to_string(count) + " " + why;
    std::printf("  %-44s %lld busy (503, asked again)%s\n", "", static_cast<long long>(busy),
                refused.c_str());
    PrintLatency("GET /api/scores?limit=100 meanwhile", reads);
}

// The table's pages as many clients read them.
void MeasureReads(int port) {
    // The hall must list the stored million, or its speed would be a small table's.
    const HttpAnswer last = HttpConnection(port).Send(
        "GET", "/api/scores?limit=1&offset=" + std::to_string(kStoredScores - 1));
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(last.body)).object();
    if (o["scores"].toArray().isEmpty()) {
        std::printf("  the hall does not list the stored scores: %d %s\n", last.status,
                    last.body.substr(0, 200).c_str());
    }
    for (const char* path : {"/api/scores?limit=100", "/"}) {
        const LatencyReport r =
            ClosedLoop(port, kReadConnections, kReadSeconds, 0, [&](HttpConnection& c, int64_t) {
                return c.Send("GET", path).status == 200 ? Outcome::kCounted : Outcome::kFailed;
            });
        PrintLatency((std::string("GET ") + path).c_str(), r);
    }
}

// Fills the table straight through SQL (psql, or Python's sqlite3 for SQLite), and tells
// the halls that the table changed, as any write from outside a hall must.
bool StoreManyScores(const std::string& database, bool postgres) {
    const std::string sql =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kStoredScores) +
        ") INSERT INTO scores (name, score, winscore, stars, frames, created, ticket, recording)"
        " SELECT 'stored ' || i, ((i % 5000) * 7919) % 5000 + 1, 499, 150, 12000,"
        " '2026-01-01T00:00:00Z', 'stored-' || i, 'seed 1' FROM n;"
        " UPDATE table_generation SET generation = generation + 1";
    const std::string command = postgres
                                    ? "psql -q -d bench -c \"" + sql + "\""
                                    : "python3 -c 'import sqlite3, sys; "
                                      "sqlite3.connect(sys.argv[1]).executescript(sys.argv[2])' '" +
                                          database + "' \"" + sql + "\"";
    return std::system(command.c_str()) == 0;
}

int MeasureDatabase(const char* label, const std::string& database, bool postgres,
                    const std::string& folder, bool liveOnly) {
    std::printf("\nkorvane-hall with %s:\n", label);
    std::fflush(stdout);
    Hall hall(database, folder);
    if (!hall.Start()) return 1;
    if (!liveOnly) MeasureSubmissions(hall.port(), hall.pid());
    MeasureWatchers(hall.port(), hall.pid());
    MeasureLiveGames(hall.port(), hall.pid());
    MeasureTakeover([&hall] { hall.Stop(SIGKILL); }, [&hall] { return hall.Start(true); },
                    hall.port());
    hall.Stop();
    if (liveOnly) return 0;
    if (!StoreManyScores(database, postgres)) {
        std::fprintf(stderr, "korvane-bench: cannot store %d scores in %s\n", kStoredScores,
                     database.c_str());
        return 1;
    }
    if (!hall.Start()) return 1;
    std::printf("  with %d more scores stored, %d clients:\n", kStoredScores, kReadConnections);
    MeasureReads(hall.port());
    std::fflush(stdout);
    return 0;
}

// A watcher is a socket here and in the hall, which inherits this limit.
void RaiseOpenFiles() {
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur >= 8192) return;
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 8192);
    setrlimit(RLIMIT_NOFILE, &files);
    if (files.rlim_cur < 4096) {
        std::printf(
            "korvane-bench: only %llu files may be open (ulimit -n): the live measures "
            "need about 2,100\n",
            static_cast<unsigned long long>(files.rlim_cur));
    }
}

}  // namespace

int ReportHall(const char* self, bool liveOnly) {
    if (!std::filesystem::exists(KORVANE_BENCH_HALL)) {
        std::fprintf(stderr, "korvane-bench: %s is not built\n", KORVANE_BENCH_HALL);
        return 1;
    }
    // Each figure as it comes, also into a file or a pipe: a run takes minutes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    RaiseOpenFiles();
    char folder[] = "/tmp/korvane-bench-hall.XXXXXX";
    if (!mkdtemp(folder)) return 1;
    int status = 0;
    if (const char* postgres = std::getenv("HALL_TEST_POSTGRES")) {
        // Run again by run_postgres.sh: the PostgreSQL half.
        status = std::system("psql -q -d postgres -c 'CREATE DATABASE bench'") != 0
                     ? 1
                     : MeasureDatabase("PostgreSQL", std::string(postgres) + "bench", true, folder,
                                       liveOnly);
    } else {
        const std::string load = Output("cut -d' ' -f1-3 /proc/loadavg | tr -d '\\n'");
        if (liveOnly) {
            std::printf("korvane-hall's live play measured (load average %s)\n", load.c_str());
        } else {
            std::printf(
                "korvane-hall measured (load average %s): %d fresh tickets each answered with "
                "a game, from %d clients; live games played and watched; then GET with %d "
                "clients for %.0f s each\n",
                load.c_str(), kGames, kSubmitConnections, kReadConnections, kReadSeconds);
        }
        status = MeasureDatabase("SQLite", std::string(folder) + "/hall.sqlite", false, folder,
                                 liveOnly);
        std::fflush(stdout);
        const std::string again = std::string(KORVANE_BENCH_RUN_POSTGRES) + " '" +
                                  std::filesystem::read_symlink(self).string() + "' --hall" +
                                  (liveOnly ? " --only-live" : "");
        const int run = std::system(again.c_str());
        if (WIFEXITED(run) && WEXITSTATUS(run) == 77) {
            std::printf(
                "\nkorvane-hall with PostgreSQL: left out, PostgreSQL 15 is not installed\n");
        } else if (run != 0) {
            status = 1;
        }
    }
    std::filesystem::remove_all(folder);
    return status;
}

}  // namespace korvane::bench
