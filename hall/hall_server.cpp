#include "hall_server.h"

#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <thread>

#include "hall_page.h"
#include "submission.h"

namespace korvane::hall {

namespace {

// A body this size holds the largest recording with JSON's escapes; a bigger one is refused
// from its Content-Length before it is read.
constexpr size_t kMaxBodyBytes = kMaxRecordingBytes * 3 / 2;

int64_t Now() {
    return static_cast<int64_t>(std::time(nullptr));
}

void Json(httplib::Response& res, int status, const QJsonObject& body) {
    res.status = status;
    res.set_content(QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString(),
                    "application/json");
}

void Refuse(httplib::Response& res, int status, const Refusal& r) {
    Json(res, status,
         {{"error", QString::fromStdString(r.code)},
          {"message", QString::fromStdString(r.message)}});
}

int StatusOf(const std::string& code) {
    if (code == "ticket-unknown") return 404;
    if (code == "ticket-used") return 409;
    if (code == "ticket-expired") return 410;
    if (code == "too-large") return 413;
    if (code == "malformed" || code == "bad-name") return 400;
    return 422;  // seed-mismatch, desync, not-one-game, too-long
}

std::optional<Refusal> TicketRefusal(const std::optional<Ticket>& t, int64_t now) {
    if (!t) return Refusal{"ticket-unknown", "no such ticket: take one with POST /api/tickets"};
    if (t->used) return Refusal{"ticket-used", "this ticket has already been used for a score"};
    if (t->expires <= now) return Refusal{"ticket-expired", "this ticket has expired"};
    return std::nullopt;
}

void PostTicket(Store& store, int64_t lifetime, httplib::Response& res) {
    const Ticket t = store.CreateTicket(Now(), lifetime);
    Json(res, 201,
         {{"ticket", QString::fromStdString(t.id)},
          {"seed", static_cast<qint64>(t.seed)},
          {"expires", QDateTime::fromSecsSinceEpoch(t.expires, Qt::UTC).toString(Qt::ISODate)}});
}

void PostScore(Store& store, int64_t maxFrames, const httplib::Request& req,
               httplib::Response& res) {
    auto refuse = [&](const std::string& code, const std::string& message) {
        Refuse(res, StatusOf(code), {code, message});
    };
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(req.body), &error);
    const QJsonObject o = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() || !o["ticket"].isString() ||
        !o["name"].isString() || !o["recording"].isString()) {
        return refuse("malformed",
                      "expected a JSON object with the strings ticket, name, recording");
    }
    NewScore score;
    score.ticket = o["ticket"].toString().toStdString();
    score.name = o["name"].toString().toStdString();
    if (std::optional<Refusal> r = CheckName(score.name)) return Refuse(res, StatusOf(r->code), *r);
    score.recording = o["recording"].toString().toStdString();
    if (score.recording.size() > kMaxRecordingBytes)
        return refuse("too-large", "a recording is at most 1 MiB");
    const std::optional<Ticket> ticket = store.FindTicket(score.ticket);
    if (std::optional<Refusal> r = TicketRefusal(ticket, Now()))
        return Refuse(res, StatusOf(r->code), *r);
    const Verified v =
        VerifyHallGame(score.recording, static_cast<uint64_t>(ticket->seed), maxFrames);
    if (!v.game) return Refuse(res, StatusOf(v.refusal.code), v.refusal);
    score.score = v.game->score;
    score.winscore = v.game->winscore;
    score.stars = v.game->stars;
    score.frames = v.game->frames;
    const int64_t now = Now();
    const std::optional<Stored> stored = store.StoreScore(score, now);
    if (!stored) {
        // Another request used the ticket while this one replayed, or it ran out meanwhile.
        const Refusal r =
            TicketRefusal(store.FindTicket(score.ticket), now)
                .value_or(Refusal{"ticket-used", "this ticket has already been used"});
        return Refuse(res, StatusOf(r.code), r);
    }
    Json(res, 201,
         {{"id", static_cast<qint64>(stored->id)},
          {"rank", static_cast<qint64>(stored->rank)},
          {"score", score.score}});
}

int QueryInt(const httplib::Request& req, const char* key, int fallback, int lo, int hi) {
    if (!req.has_param(key)) return fallback;
    bool ok = false;
    const int n = QString::fromStdString(req.get_param_value(key)).toInt(&ok);
    return ok ? std::clamp(n, lo, hi) : fallback;
}

void GetScores(Store& store, const httplib::Request& req, httplib::Response& res) {
    QJsonArray list;
    for (const ScoreRow& r : store.TopScores(QueryInt(req, "limit", 100, 1, 1000),
                                             QueryInt(req, "offset", 0, 0, 1 << 30))) {
        list.append(QJsonObject{{"id", static_cast<qint64>(r.id)},
                                {"rank", static_cast<qint64>(r.rank)},
                                {"name", QString::fromStdString(r.name)},
                                {"score", r.score},
                                {"winscore", r.winscore},
                                {"stars", r.stars},
                                {"frames", static_cast<qint64>(r.frames)},
                                {"date", QString::fromStdString(r.date)}});
    }
    Json(res, 200, {{"scores", list}});
}

void Route(httplib::Server& server, Store& store, const HallOptions& options) {
    server.Post("/api/scores",
                [&store, &options](const httplib::Request& req, httplib::Response& res) {
                    PostScore(store, options.maxFrames, req, res);
                });
    server.Get("/api/scores", [&store](const httplib::Request& req, httplib::Response& res) {
        GetScores(store, req, res);
    });
    server.Get(R"(/api/scores/(\d{1,18})/recording)", [&store](const httplib::Request& req,
                                                               httplib::Response& res) {
        const std::optional<std::string> text = store.Recording(std::stoll(req.matches[1]));
        if (!text) return Refuse(res, 404, {"not-found", "no score has this id"});
        res.set_content(*text, "text/plain; charset=utf-8");
    });
    server.Get("/", [&store](const httplib::Request&, httplib::Response& res) {
        res.set_content(HallPage(store.TopScores(100, 0)), "text/html; charset=utf-8");
    });
    if (std::filesystem::is_directory(options.webDir)) {
        // The page learns from this header that a hall serves it, without asking anything
        // that a plain web server would answer with an error.
        server.set_mount_point("/play", options.webDir, {{"Server-Timing", "korvane-hall"}});
    } else {
        server.Get("/play(/.*)?", [&options](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("The browser build is not here (" + options.webDir +
                                "): build it with ./run.sh web, or give korvane-hall --web DIR.\n",
                            "text/plain; charset=utf-8");
        });
    }
}

void Guard(httplib::Server& server, Store& store, const HallOptions& options) {
    // A body too big is refused from its Content-Length alone: the rest is never read.
    server.set_payload_max_length(kMaxBodyBytes);
    server.set_pre_routing_handler(
        [&store, &options](const httplib::Request& req, httplib::Response& res) {
            // A ticket takes no body: answered here, before any is read, also for a POST
            // without a Content-Length.
            if (req.method == "POST" && req.path == "/api/tickets") {
                PostTicket(store, options.ticketLifetime, res);
                return httplib::Server::HandlerResponse::Handled;
            }
            if (req.get_header_value<uint64_t>("Content-Length") <= kMaxBodyBytes) {
                return httplib::Server::HandlerResponse::Unhandled;
            }
            Refuse(res, 413, {"too-large", "a request body is at most 1.5 MiB"});
            res.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        });
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr e) {
            std::string what = "unknown";
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                what = x.what();
            } catch (...) {
            }
            std::fprintf(stderr, "korvane-hall: %s\n", what.c_str());
            Refuse(res, 503, {"unavailable", "the hall cannot answer now; try again later"});
        });
    static std::mutex logLock;
    server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        const std::lock_guard<std::mutex> hold(logLock);
        std::printf("%s %s %s %s %d %zu\n",
                    QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toUtf8().constData(),
                    req.remote_addr.c_str(), req.method.c_str(), req.path.c_str(), res.status,
                    res.body.size());
        std::fflush(stdout);
    });
}

}  // namespace

int Serve(const HallOptions& options, Store& store) {
    // SIGTERM and SIGINT go to one thread, which stops the server: the requests in flight
    // are finished and answered, then listen returns.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    const size_t threads = static_cast<size_t>(options.threads);
    server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    Guard(server, store, options);
    Route(server, store, options);
    if (!server.bind_to_port(options.listen, options.port)) {
        std::fprintf(stderr, "korvane-hall: cannot listen on %s port %d\n", options.listen.c_str(),
                     options.port);
        return 1;
    }
    std::thread([&server, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        std::printf("korvane-hall: stopping (signal %d)\n", signal);
        std::fflush(stdout);
        server.stop();
    }).detach();
    std::printf("korvane-hall: the hall of fame on http://%s:%d/ (database %s)\n",
                options.listen.c_str(), options.port, options.database.c_str());
    std::fflush(stdout);
    server.listen_after_bind();
    return 0;
}

}  // namespace korvane::hall
