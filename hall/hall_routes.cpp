#include "hall_routes.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "http/json_response.h"
#include "hall_page.h"
#include "korvane_version.h"
#include "gate/name_check.h"
#include "gate/submission.h"
#include "http/json_bodies.h"
#include "live/live_store.h"
#include "player_key.h"
#include "player_routes.h"

namespace korvane::hall {

namespace {

int64_t Now() {
    return static_cast<int64_t>(std::time(nullptr));
}

double NowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::optional<Refusal> TicketRefusal(const std::optional<Ticket>& t, int64_t now) {
    if (!t) return Refusal{"ticket-unknown", "no such ticket: take one with POST /api/tickets"};
    if (t->used) return Refusal{"ticket-used", "this ticket has already been used"};
    if (t->expires <= now) return Refusal{"ticket-expired", "this ticket has expired"};
    return std::nullopt;
}

// Whether the hall takes a name, and as what: the page asks it as the player types, and
// the answer is the submission's own check.
HttpResponse NameAnswer(const HttpRequest& request) {
    const std::string* name = request.Query("name");
    std::string normalised;
    if (std::optional<Refusal> r = CheckName(name ? *name : std::string(), normalised))
        return Refuse(*r);
    return Json(200, {{"name", QString::fromStdString(normalised)}});
}

const char* ContentType(const std::filesystem::path& file) {
    static const std::map<std::string, const char*> kTypes = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".mjs", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".wasm", "application/wasm"},
        {".json", "application/json"},
        {".webmanifest", "application/manifest+json"},
        {".png", "image/png"},
        {".svg", "image/svg+xml"},
        {".ico", "image/x-icon"},
        {".txt", "text/plain; charset=utf-8"},
    };
    const auto it = kTypes.find(file.extension().string());
    return it == kTypes.end() ? "application/octet-stream" : it->second;
}

}  // namespace

HallRoutes::HallRoutes(const HallOptions& options, Store& store, ScoreTable& table,
                       ReplayPool& pool, std::string instance)
    : options_(options),
      store_(store),
      table_(table),
      pool_(pool),
      instance_(instance),
      metrics_(),
      live_(options, store, instance),
      tickets_(options.ticketsPerMinute),
      submissions_(options.submissionsPerMinute),
      routes_(Table()) {}

bool HallRoutes::Trusted(const std::string& address) const {
    for (const std::string& proxy : options_.trustedProxies) {
        if (proxy == address) return true;
    }
    return false;
}

std::string HallRoutes::ClientOf(const HttpRequest& request) const {
    const std::string* forwarded = request.Header("X-Forwarded-For");
    if (!forwarded || !Trusted(request.peer)) return request.peer;
    // Each proxy appends the address it saw: read from the end, past our own proxies.
    std::string client = request.peer;
    std::stringstream list(*forwarded);
    std::vector<std::string> hops;
    for (std::string hop; std::getline(list, hop, ',');) {
        const size_t a = hop.find_first_not_of(" \t"), b = hop.find_last_not_of(" \t");
        hops.push_back(a == std::string::npos ? "" : hop.substr(a, b - a + 1));
    }
    // Only an address counts: anything else in the header stops the walk where it stands.
    for (auto hop = hops.rbegin(); hop != hops.rend() && IsAddress(*hop); ++hop) {
        client = *hop;
        if (!Trusted(*hop)) break;
    }
    return client;
}

RouteTable HallRoutes::Table() {
    // A route answered at once, on the HTTP loop.
    const auto atOnce =
        [](std::function<HttpResponse(const HttpRequest&, const std::string&)> make) {
            return [make](const HttpRequest& request, const std::string& part, Reply reply) {
                reply(make(request, part));
            };
        };
    const auto liveId = [](const std::string& part) { return IsLiveGameId(part); };
    // Another method on a recording's, a player's or the browser build's path is answered as
    // on a path no route serves.
    const bool kOtherMethodsNotFound = false;
    const RouteHandler recording =
        atOnce([this](const HttpRequest&, const std::string& part) { return Recording(part); });
    const RouteHandler player = atOnce(
        [this](const HttpRequest& q, const std::string& name) { return Player(q, name, false); });
    const RouteHandler playerPage = atOnce(
        [this](const HttpRequest& q, const std::string& name) { return Player(q, name, true); });
    const RouteHandler playFile =
        atOnce([this](const HttpRequest& q, const std::string&) { return PlayFile(q); });
    return RouteTable({
        {"GET", "/", "/",
         atOnce([this](const HttpRequest& q, const std::string&) { return Page(q); })},
        {"GET", "/api/hall", "/api/hall", atOnce([](const HttpRequest&, const std::string&) {
             // The page asks this, relative to itself, to learn that a hall serves it.
             return Json(200, {{"hall", "korvane-hall"}, {"version", KORVANE_VERSION}});
         })},
        {"POST", "/api/tickets", "/api/tickets",
         atOnce([this](const HttpRequest& q, const std::string&) { return Ticket(ClientOf(q)); })},
        {"GET", "/api/scores", "/api/scores",
         atOnce([this](const HttpRequest& q, const std::string&) { return Scores(q); })},
        {"POST", "/api/scores", "/api/scores",
         [this](const HttpRequest& q, const std::string&, Reply reply) {
             Submit(q, ClientOf(q), std::move(reply));
         }},
        {"GET", "/api/names/check", "/api/names/check",
         atOnce([](const HttpRequest& q, const std::string&) { return NameAnswer(q); })},
        {"GET", "/api/scores/*", "/api/scores/ID/recording", recording, {}, kOtherMethodsNotFound},
        {"GET", "/api/players/*", "/api/players/NAME", player, {}, kOtherMethodsNotFound},
        {"GET", "/players/*", "/players/NAME", playerPage, {}, kOtherMethodsNotFound},
        {"POST", "/api/live", "/api/live", atOnce([this](const HttpRequest& q, const std::string&) {
             return live_.Open(q, ClientOf(q));
         })},
        {"GET", "/api/live", "/api/live",
         atOnce([this](const HttpRequest&, const std::string&) { return live_.List(); })},
        {"POST", "/api/live/*/lines", "/api/live/ID/lines",
         [this](const HttpRequest& q, const std::string& id, Reply reply) {
             live_.Lines(id, q, std::move(reply), LiveGame::Now());
         },
         liveId},
        {"GET", "/api/live/*/stream", "/api/live/ID/stream",
         atOnce([this](const HttpRequest& q, const std::string& id) { return live_.Watch(id, q); }),
         liveId},
        {"GET", "/play", "/play/", playFile, {}, kOtherMethodsNotFound},
        {"GET", "/play/*", "/play/", playFile, {}, kOtherMethodsNotFound},
        {"GET", "/metrics", "/metrics",
         atOnce([this](const HttpRequest& q, const std::string&) { return Metrics(q); })},
    });
}

void HallRoutes::Handle(const HttpRequest& request, Reply reply) {
    try {
        routes_.Dispatch(request, reply);
    } catch (const StoreError& e) {
        store_.Failed(e);
        reply(Refuse({"unavailable", "the hall cannot answer now; try again later"}));
    }
}

HttpResponse HallRoutes::Remembered(const std::string& key,
                                    const std::function<HttpResponse()>& make) {
    const uint64_t version = table_.Version();
    {
        const std::lock_guard<std::mutex> hold(memoLock_);
        if (memoVersion_ != version) {
            memo_.clear();
            memoVersion_ = version;
        }
        const auto it = memo_.find(key);
        if (it != memo_.end()) return it->second;
    }
    HttpResponse made = make();
    const std::lock_guard<std::mutex> hold(memoLock_);
    if (memoVersion_ == version && memo_.size() < 64) memo_[key] = made;
    return made;
}

HttpResponse HallRoutes::Page(const HttpRequest& request) {
    TableQuery query;
    if (std::optional<Refusal> r = ReadTableQuery(request, 50, 50, query)) {
        HttpResponse wrong;
        wrong.status = 400;
        wrong.body = r->message + "\n";
        return wrong;
    }
    return Remembered("page " + TableQueryKey(query), [&] {
        // One more row than shown says whether a next page follows.
        TableQuery probe = query;
        ++probe.limit;
        std::vector<ScoreRow> rows = TableRows(store_, probe);
        const bool more = rows.size() > size_t(query.limit);
        if (more) rows.pop_back();
        HttpResponse r;
        r.contentType = "text/html; charset=utf-8";
        r.body = HallPage(query, rows, more,
                          std::filesystem::is_regular_file(
                              std::filesystem::path(options_.webDir) / "index.html"));
        return r;
    });
}

HttpResponse HallRoutes::Scores(const HttpRequest& request) {
    TableQuery query;
    if (std::optional<Refusal> r = ReadTableQuery(request, 100, 1000, query)) return Refuse(*r);
    return Remembered("scores " + TableQueryKey(query), [&] {
        QJsonArray list;
        for (const ScoreRow& r : TableRows(store_, query)) list.append(RowJson(r));
        return Json(200, {{"category", CategoryJson(*query.category)}, {"scores", list}});
    });
}

HttpResponse HallRoutes::Player(const HttpRequest& request, const std::string& name, bool page) {
    int64_t offset = 0;
    if (const std::string* text = request.Query("offset")) {
        const std::optional<int64_t> n = QueryNumber(*text, 0);
        if (!n) return Refuse({"bad-query", "offset is a whole number from 0"});
        offset = *n;
    }
    const std::string key = std::string(page ? "player page " : "player ") +
                            std::to_string(offset) + " " + name;
    return Remembered(key, [&] {
        const std::optional<PlayerView> view = ReadPlayer(store_, name, offset, 50);
        if (!view) return Refuse({"not-found", "no player of that name has a game here"});
        if (!page) return Json(200, PlayerJson(*view));
        HttpResponse r;
        r.contentType = "text/html; charset=utf-8";
        r.body = PlayerPage(*view);
        return r;
    });
}

HttpResponse HallRoutes::Recording(const std::string& part) {
    // ID/recording: anything else under /api/scores/ is not here.
    const std::string suffix = "/recording";
    if (part.size() <= suffix.size() ||
        part.compare(part.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return Refuse({"not-found", "nothing here"});
    }
    const std::optional<int64_t> id = QueryNumber(part.substr(0, part.size() - suffix.size()), 1);
    const std::optional<StoredRecording> stored =
        id ? store_.Recording(*id) : std::optional<StoredRecording>();
    if (!stored) return Refuse({"not-found", "no score has this id"});
    if (stored->hidden) return Refuse({"hidden", "this score was taken out of the hall"});
    HttpResponse r;
    r.body = stored->text;
    return r;
}

HttpResponse HallRoutes::Ticket(const std::string& client) {
    if (const int64_t wait = tickets_.Take(client, NowSeconds())) {
        return Refuse({"too-many-tickets", "too many tickets from one address", wait});
    }
    const std::optional<korvane::hall::Ticket> t =
        store_.CreateTicket(client, Now(), options_.ticketLifetime, options_.openTickets);
    if (!t) {
        return Refuse(
            {"too-many-open-tickets", "this address holds " + std::to_string(options_.openTickets) +
                                          " unused tickets: use one, or wait for them to expire"});
    }
    QJsonObject answer{
        {"ticket", QString::fromStdString(t->id)},
        {"expires", QDateTime::fromSecsSinceEpoch(t->expires, Qt::UTC).toString(Qt::ISODate)}};
    // A hall whose games are all live shows the seed only as the game opens.
    if (!options_.liveOnly) answer["seed"] = static_cast<qint64>(t->seed);
    return Json(201, answer);
}

void HallRoutes::Submit(const HttpRequest& request, const std::string& client, Reply reply) {
    if (const int64_t wait = submissions_.Take(client, NowSeconds())) {
        return reply(Refuse({"too-many-submissions", "too many scores from one address", wait}));
    }
    if (!request.Header("Content-Length") && !request.Header("Transfer-Encoding")) {
        return reply(Refuse({"length-required", "a score's body needs a Content-Length"}));
    }
    Refusal refusal;
    std::optional<SubmissionBody> body = ReadSubmissionBody(request.body, refusal);
    std::string name;
    if (body) {
        if (std::optional<Refusal> r = CheckName(body->name, name)) refusal = *r;
    }
    if (!body || !refusal.code.empty()) return reply(Refuse(refusal));
    if (options_.liveOnly && !body->live) {
        return reply(Refuse({"live-only",
                             "this hall takes only games played live: open "
                             "one with POST /api/live"}));
    }
    if (body->key && !IsPlayerKey(*body->key)) {
        return reply(Refuse({"malformed", "key is the 32 hexadecimal digits the hall gave"}));
    }
    auto job = [this, body = std::move(*body), name, reply]() {
        const auto started = std::chrono::steady_clock::now();
        bool taken = false;  // this request took the ticket's ended live game
        try {
            NewScore score{body.ticket, name, 0, 0, 0, 0, {}, names::PlayerKey(name), {}, false};
            // A game held because its name was someone else's is stored as it was verified.
            if (std::optional<HeldGame> held = HeldGameOf(store_, body.ticket, Now())) {
                score.score = held->score;
                score.winscore = held->winscore;
                score.stars = held->stars;
                score.frames = held->frames;
                score.recording = std::move(held->recording);
                score.held = true;
            } else {
                const std::optional<korvane::hall::Ticket> t = store_.FindTicket(body.ticket);
                std::string recording = body.recording;
                uint64_t seed = t ? static_cast<uint64_t>(t->seed) : 0;
                if (!t) {
                    return reply(Refuse(*TicketRefusal(t, Now())));
                } else if (body.live) {
                    // A live game spent its ticket as it opened: its lines are the recording.
                    if (std::optional<Refusal> r = live_.TakeEnded(body.ticket, recording, seed))
                        return reply(Refuse(*r));
                    taken = true;
                } else {
                    if (std::optional<Refusal> r = TicketRefusal(t, Now()))
                        return reply(Refuse(*r));
                    // From here the ticket is spent, whatever the replay finds.
                    if (!store_.SpendTicket(body.ticket, Now())) {
                        const Refusal r =
                            TicketRefusal(store_.FindTicket(body.ticket), Now())
                                .value_or(Refusal{"ticket-used", "this ticket was used"});
                        return reply(Refuse(r));
                    }
                }
                const Verified v = VerifyHallGame(recording, seed, options_.maxFrames);
                const double seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started)
                        .count();
                metrics_.Replay(seconds, v.game.has_value());
                if (!v.game && taken) live_.NotStored(body.ticket, v.refusal);
                if (!v.game) return reply(Refuse(v.refusal));
                score.score = v.game->score;
                score.winscore = v.game->winscore;
                score.stars = v.game->stars;
                score.frames = v.game->frames;
                score.recording = v.canonical;
            }
            // A player's first score makes its key, unless its sender has one already (the
            // one it holds its other names with).
            const std::string key = body.key.value_or(NewPlayerKey());
            score.keyHash = HashKey(key);
            bool claimed = false;
            const std::optional<ScoreRow> row = store_.StoreScore(score, Now(), instance_, claimed);
            if (!row) {
                // Kept to be sent again: a live game ends again, a whole recording is held.
                if (taken) {
                    taken = false;
                    live_.NotStored(body.ticket, std::nullopt);
                } else if (!score.held) {
                    HoldGame(store_,
                             {body.ticket, score.score, score.winscore, score.stars, score.frames,
                              score.recording},
                             Now());
                }
                return reply(
                    Refuse({"name-taken", "the name " + name +
                                              " is another player's (or reads as one): send this "
                                              "game again within an hour under another name, or "
                                              "with that name's key"}));
            }
            table_.Add(*row);
            if (taken) {
                taken = false;  // stored: nothing to give back
                try {
                    ForgetStoredBatches(store_, body.ticket);
                } catch (const StoreError& e) {
                    store_.Failed(e);  // the sweep takes them with the game's address
                }
            }
            const Category& category = CategoryOf(row->stars);
            QJsonObject answer{
                {"id", static_cast<qint64>(row->id)},
                {"rank", static_cast<qint64>(
                             PlaceAmongPlayers(store_, category, score.player, row->score))},
                {"score", row->score},
                {"category", category.id}};
            if (claimed && !body.key) answer["key"] = QString::fromStdString(key);
            reply(Json(201, answer));
        } catch (const StoreError& e) {
            store_.Failed(e);
            try {
                if (taken) live_.NotStored(body.ticket, std::nullopt);  // may be sent again
            } catch (const StoreError&) {
            }
            reply(Refuse({"unavailable", "the hall cannot answer now; try again later"}));
        }
    };
    if (!pool_.TrySubmit(std::move(job))) {
        reply(Refuse({"busy", "every replay worker is taken; try again shortly"}));
    }
}

HttpResponse HallRoutes::Metrics(const HttpRequest& request) {
    // For the operator's scraper, which asks the hall itself: never a request a proxy
    // passed on from outside, and only from this machine or a proxy of ours.
    const bool local = request.peer == "127.0.0.1" || request.peer == "::1" ||
                       request.peer == options_.listen || Trusted(request.peer);
    if (!local || request.Header("X-Forwarded-For") || request.Header("Forwarded"))
        return Refuse({"not-found", "nothing here"});
    HttpResponse r;
    r.contentType = "text/plain; version=0.0.4; charset=utf-8";
    r.body = metrics_.Render(pool_.Waiting(), store_.OpenTickets(Now()), table_.Total(),
                             live_.Counts());
    return r;
}

HttpResponse HallRoutes::PlayFile(const HttpRequest& request) {
    namespace fs = std::filesystem;
    HttpResponse r;
    if (request.path == "/play") {
        r.status = 301;
        r.headers.emplace_back("Location", "play/");
        return r;
    }
    if (!fs::is_directory(options_.webDir)) {
        r.status = 404;
        r.body = "The browser build is not here (" + options_.webDir +
                 "): build it with ./run.sh web, or give korvane-hall --web DIR.\n";
        return r;
    }
    // A watch link of a hidden score answers as its recording does.
    if (const std::string* watch = request.Query("watch")) {
        const std::optional<int64_t> id = QueryNumber(*watch, 1);
        const std::optional<StoredRecording> stored =
            id ? store_.Recording(*id) : std::optional<StoredRecording>();
        if (stored && stored->hidden) {
            r.status = 410;
            r.contentType = "text/html; charset=utf-8";
            r.body =
                "<!DOCTYPE html><title>Korvane hall of fame</title>"
                "<p>This game was taken out of the hall of fame.</p>\n";
            return r;
        }
    }
    std::string relative = request.path.substr(6);
    if (relative.empty() || relative.back() == '/') relative += "index.html";
    const fs::path file = fs::path(options_.webDir) / fs::path(relative).lexically_normal();
    const bool inside = relative.find("..") == std::string::npos &&
                        fs::path(relative).lexically_normal().is_relative();
    std::ifstream in(file, std::ios::binary);
    if (!inside || !fs::is_regular_file(file) || !in) {
        r.status = 404;
        r.body = "not found\n";
        return r;
    }
    std::ostringstream content;
    content << in.rdbuf();
    r.body = content.str();
    r.contentType = ContentType(file);
    // The page's older way to learn that a hall serves it; /api/hall is the one a proxy
    // always passes on.
    r.headers.emplace_back("Server-Timing", "korvane-hall");
    return r;
}

void HallRoutes::Answered(const HttpRequest& request, const HttpResponse& response) {
    const std::string& route = routes_.NameOf(request.path);
    metrics_.Request(route, request.method, response.status);
    if (response.status >= 400 && response.contentType == "application/json") {
        const size_t at = response.body.find("\"error\":\"");
        if (at != std::string::npos) {
            const size_t from = at + 9;
            metrics_.Refused(response.body.substr(from, response.body.find('"', from) - from));
        }
    }
    const std::string time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
    // The path as a client wrote it may hold anything: one line of printable text here.
    std::string path = route == "other" ? "-" : request.path.substr(0, 200);
    for (char& c : path) {
        if (static_cast<unsigned char>(c) < 0x21 || c == 0x7F) c = '?';
    }
    const std::lock_guard<std::mutex> hold(logLock_);
    std::printf("%s %s %s %s %d %zu\n", time.c_str(), ClientOf(request).c_str(),
                request.method.c_str(), path.c_str(), response.status, response.body.size());
    std::fflush(stdout);
}

}  // namespace korvane::hall
