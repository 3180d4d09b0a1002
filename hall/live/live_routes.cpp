#include "live_routes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <charconv>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <random>
#include <system_error>
#include <thread>

#include "http/json_bodies.h"
#include "http/json_response.h"
#include "live_store.h"
#include "store/sql_values.h"
#include "gate/name_check.h"

namespace korvane::hall {

namespace {

// Whether the request carries the ticket that opened the game, `Authorization: Bearer
// TICKET`: only the player may send a game's lines. Compared in constant time.
std::optional<Refusal> NotThePlayer(const HttpRequest& request, const std::string& ticket) {
    const std::string* header = request.Header("Authorization");
    const std::string scheme = "Bearer ";
    if (!header || header->size() <= scheme.size() || header->compare(0, scheme.size(), scheme) != 0)
        return Refusal{"unauthorized", "a live game's lines carry Authorization: Bearer TICKET, "
                                       "the ticket that opened it"};
    const std::string given = header->substr(scheme.size());
    unsigned char differ = given.size() != ticket.size();
    for (size_t i = 0; i < given.size() && i < ticket.size(); ++i) differ |= given[i] ^ ticket[i];
    if (differ) return Refusal{"forbidden", "only the player who opened this live game sends its lines"};
    return std::nullopt;
}

// What a batch counts at least against a game's 1 MiB of lines: 8,192 batches, more than an
// hour of play at two a second.
constexpr size_t kMinBatchBytes = 128;
// A live game's lease: renewed every second while its hall plays it, so that it runs out
// within this of the hall's death.
constexpr int64_t kLeaseMs = 2500;
// How long the page and the desktop send a batch again while no hall takes it.
constexpr int64_t kRetryMs = 15000;
// How long a game that ended stays in memory for its late batches.
constexpr double kEndKeptSeconds = 30;
// A batch's most: half a second of play is a few hundred bytes, the last batch's checks a
// few hundred more.
constexpr size_t kMaxBatchBytes = 64 * 1024;

int64_t Now() {
    return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace

struct LiveRoutes::Entry {
    std::string address;
    std::string ticket;  // the player's: only its bearer sends the lines
    std::mutex lock;
    size_t bytes = 0;  // the lines received so far
    int64_t seq = 0;   // the next batch's number (the replay's thread)
    int64_t fence = 0;  // the game's, while this hall holds it
    // Another hall has taken the game over: this one forgets it, once its writes are told.
    std::atomic<bool> lost{false};
    std::atomic<int> writing{0};
    // The game's end is in the database: until then a late batch is told the game's own
    // end from here, not that the table (which still says playing) names another hall.
    std::atomic<bool> endStored{false};
    // When that was: the game is kept a while after, so that a late batch hears its refusal
    // in the hall's own words.
    std::atomic<double> endedAt{0};
    std::unique_ptr<LiveGame> game;
};

LiveRoutes::LiveRoutes(const LiveOptions& options, Store& store, std::string instance)
    : options_(options),
      store_(store),
      instance_(instance),
      relay_(store, instance, options.watchersPerGame),
      starts_(options.liveStartsPerHour, 3600),
      pool_(std::max(2u, std::thread::hardware_concurrency())) {
    rules_.windowSeconds = options.livePaceWindow;
    rules_.lateSeconds = options.liveLateMs / 1000.0;
    rules_.stallSeconds = options.liveStall;
    rules_.heldSeconds = options.liveDialog;
    rules_.startSeconds = options.liveStart;
    rules_.pauses = options.livePauses;
    rules_.pauseSeconds = options.livePauseTime;
    relay_.OnTick([this] { Tick(); });
}

LiveRoutes::~LiveRoutes() {
    Stop();
}

void LiveRoutes::Stop() {
    std::map<std::string, std::shared_ptr<Entry>> games;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        games.swap(games_);
    }
    games.clear();  // each replay stops and its thread ends
    relay_.quit();
    relay_.wait();
}

bool IsLiveGameId(const std::string& id) {
    return id.size() == 32 && id.find_first_not_of("0123456789abcdef") == std::string::npos;
}

HttpResponse LiveRoutes::Open(const HttpRequest& request, const std::string& client) {
    Refusal refusal;
    const std::optional<LiveOpening> opening = ReadLiveOpening(request.body, refusal);
    if (!opening) return Refuse(refusal);
    const std::string& ticketId = opening->ticket;
    std::string name;
    if (opening->name) {
        if (std::optional<Refusal> r = CheckName(*opening->name, name)) return Refuse(*r);
    }
    Sweep();
    {
        const std::lock_guard<std::mutex> hold(lock_);
        int mine = 0, playing = 0;
        for (const auto& [id, entry] : games_) {
            const bool on = !entry->game->Over();
            playing += on;
            mine += on && entry->address == client;
        }
        if (mine >= options_.liveGamesPerAddress || playing >= options_.liveGames) {
            return Refuse(
                {"too-many-live-games",
                 mine >= options_.liveGamesPerAddress
                     ? "this address plays " + std::to_string(mine) + " live games already"
                     : "the hall has all the live games it can follow"});
        }
    }
    if (const int64_t wait = starts_.Take(client, LiveGame::Now())) {
        return Refuse({"too-many-live-starts", "too many live games from one address", wait});
    }
    const std::optional<Ticket> t = store_.FindTicket(ticketId);
    if (!t) return Refuse({"ticket-unknown", "no such ticket: take one with POST /api/tickets"});
    if (t->used) return Refuse({"ticket-used", "this ticket has already been used"});
    if (t->expires <= Now()) return Refuse({"ticket-expired", "this ticket has expired"});
    // From here the ticket is this game's, however it ends.
    const std::string id = RandomHexId();
    const int64_t wall = WallMs();
    if (!OpenLiveGame(store_,
                      {id, ticketId, t->seed, name, "playing", 0, 0, 0, "", instance_,
                       options_.name, wall + kLeaseMs, 0, wall, 0},
                      client, Now())) {
        return Refuse({"ticket-used", "this ticket has already been used"});
    }
    auto entry = std::make_shared<Entry>();
    entry->address = client;
    entry->ticket = ticketId;
    entry->game = std::make_unique<LiveGame>(pool_, static_cast<uint64_t>(t->seed), rules_,
                                             options_.maxFrames, LiveGame::Now(), HooksOf(id, *entry));
    {
        const std::lock_guard<std::mutex> hold(lock_);
        games_[id] = entry;
        ++started_;
    }
    return Json(201, {{"live", QString::fromStdString(id)},
                      {"seed", static_cast<qint64>(t->seed)},
                      {"batch", kLiveBatchMillis},
                      {"watch", QString::fromStdString("play/?live=" + id)}});
}

LiveGame::Hooks LiveRoutes::HooksOf(const std::string& id, Entry& entry) {
    Entry* e = &entry;
    const auto written = [e](LiveWritten w, const LiveGame::Answer& answer,
                             std::optional<Refusal> stored) {
        // Taken over elsewhere, or not kept (the database away too long): this hall's replay
        // is no longer the game's; the database is, from which a batch sent again rebuilds it.
        if (w != LiveWritten::kStored) e->lost = true;
        --e->writing;
        if (!answer) return;
        if (w == LiveWritten::kStored) return answer(stored);
        // A batch that came as another hall took the game over goes again, to that hall.
        answer(w == LiveWritten::kTaken
                   ? Refusal{"live-moved", "another hall carries this live game on now: send "
                                           "the batch again"}
                   : Refusal{"unavailable", "the hall cannot keep the lines now"});
    };
    LiveGame::Hooks hooks;
    hooks.ran = [this, id, e, written](const std::string& text, const LiveProgress& progress,
                                       LiveGame::Answer answer) {
        ++e->writing;
        relay_.Publish(id, e->fence, e->seq++, text, progress,
                       [answer, written](LiveWritten w) { written(w, answer, std::nullopt); });
    };
    hooks.ended = [this, id, e, written](const LiveEnd& end, LiveGame::Answer answer) {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            ++(end.score ? accepted_ : end.abandoned ? abandoned_ : refused_);
        }
        ++e->writing;
        relay_.End(id, e->fence, end, [answer, end, e, written](LiveWritten w) {
            e->endedAt = LiveGame::Now();
            e->endStored = true;
            written(w, answer, end.score ? std::nullopt : std::optional<Refusal>(end.refusal));
        });
    };
    return hooks;
}

void LiveRoutes::Lines(const std::string& id, const HttpRequest& request, Reply reply,
                       double arrival) {
    std::shared_ptr<Entry> entry;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        const auto it = games_.find(id);
        if (it != games_.end() && !it->second->lost) entry = it->second;
    }
    // A stranger's request is refused before it can touch the game in any way.
    if (entry) {
        if (std::optional<Refusal> r = NotThePlayer(request, entry->ticket)) return reply(Refuse(*r));
        if (entry->game->Over()) return reply(Refuse(entry->game->After()));
    } else {
        const std::optional<LiveRow> row = FindLiveGame(store_, id);
        if (!row) return reply(Refuse({"not-found", "no live game has this id"}));
        if (std::optional<Refusal> r = NotThePlayer(request, row->ticket)) return reply(Refuse(*r));
        if (row->state == "playing") return CarryOn(*row, request, reply, arrival);
        return reply(Refuse(row->state == "refused"
                                ? Refusal{row->error, "this live game was refused"}
                                : Refusal{"live-over", "this live game is over"}));
    }
    Take(*entry, request, reply, arrival);
}

void LiveRoutes::LinesLater(double seconds, const std::string& id, const HttpRequest& request,
                            Reply reply, double arrival) {
    relay_.Later(seconds, [this, id, request, reply, arrival] {
        try {
            Lines(id, request, reply, arrival);
        } catch (const StoreError& e) {
            store_.Failed(e);
            reply(Refuse({"unavailable", "the hall cannot answer now; try again later"}));
        }
    });
}

void LiveRoutes::CarryOn(const LiveRow& row, const HttpRequest& request, Reply reply,
                         double arrival) {
    const int64_t now = WallMs();
    // The game's batches have moved here when its hall, alive or not, has had none for a
    // lease: a proxy sent them to this hall (its hall died, or came back after a proxy had
    // given its games to another). A hall that still gets them plays the game.
    const bool waited = LiveGame::Now() - arrival > kLeaseMs / 1000.0;
    // A game of this hall's that it forgot (its record failed) is its own to take again.
    const bool moved = (waited && now - row.arrived > kLeaseMs) || row.owner == instance_;
    if (row.lease > now && !moved) {
        if (waited) {
            HttpResponse r = Refuse({"live-elsewhere", "this live game is played by the hall " +
                                                           row.hall + ": its lines go there"});
            QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(r.body)).object();
            body["hall"] = QString::fromStdString(row.hall);
            r.body = QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString();
            return reply(r);
        }
        // Its hall may have died: the batch waits for the lease to run out, or for a lease.
        return LinesLater(std::min<double>(row.lease - now + 20, 250) / 1000.0, row.id, request,
                          reply, arrival);
    }
    {
        // Another batch of the game is taking it over here already: this one follows it.
        const std::lock_guard<std::mutex> hold(lock_);
        if (!taking_.insert(row.id).second) return LinesLater(0.05, row.id, request, reply, arrival);
    }
    // Whatever comes of it, the next batch may try in its turn.
    struct Taking {
        Taking(LiveRoutes& r, std::string game) : routes(r), id(std::move(game)) {}
        Taking(const Taking&) = delete;
        Taking& operator=(const Taking&) = delete;
        LiveRoutes& routes;
        std::string id;
        ~Taking() {
            const std::lock_guard<std::mutex> hold(routes.lock_);
            routes.taking_.erase(id);
        }
    };
    std::optional<Taking> taking(std::in_place, *this, row.id);
    if (!TakeLiveGame(store_, row, instance_, options_.name, now + kLeaseMs,
                      moved ? row.lease : now)) {
        taking.reset();
        return Lines(row.id, request, reply, arrival);  // another hall was quicker: ask again
    }
    // Rebuilt from what the database has: the stored batches replayed, the watchers' feed
    // filled, the pace taken up from the last batch's arrival.
    const std::vector<std::pair<int64_t, std::string>> stored = LiveBatches(store_, row.id, 0);
    auto entry = std::make_shared<Entry>();
    entry->ticket = row.ticket;
    entry->fence = row.fence + 1;
    entry->seq = stored.empty() ? 0 : stored.back().first + 1;
    // Its time to start counts from its opening, at its hall (the last batch's arrival,
    // when none came), whatever the takeover.
    const double since = (now - row.arrived) / 1000.0;
    entry->game = std::make_unique<LiveGame>(pool_, static_cast<uint64_t>(row.seed), rules_,
                                             options_.maxFrames,
                                             LiveGame::Now() - (stored.empty() ? since : 0),
                                             HooksOf(row.id, *entry));
    std::vector<LiveLines> batches;
    for (const auto& [seq, text] : stored) {
        Refusal refusal;
        if (std::optional<LiveLines> lines = ReadLiveLines(text, entry->game->seed(), refusal))
            batches.push_back(std::move(*lines));
    }
    entry->game->Restore(std::move(batches),
                         {LiveGame::Now() - since, LiveGame::Now(), row.paused / 1000.0, row.pauses});
    relay_.Restored(row.id, stored);
    {
        const std::lock_guard<std::mutex> hold(lock_);
        games_[row.id] = entry;
        ++taken_;
    }
    std::fprintf(stderr, "korvane-hall: took the live game %s over (fence %lld) after %.1f s\n",
                 row.id.c_str(), static_cast<long long>(entry->fence), since);
    Take(*entry, request, reply, arrival);
}

void LiveRoutes::Take(Entry& entry, const HttpRequest& request, const Reply& reply,
                      double arrival) {
    LiveGame::Answer answer = [reply](std::optional<Refusal> r) {
        if (!r) {
            HttpResponse done;
            done.status = 204;
            return reply(done);
        }
        reply(Refuse(*r));
    };
    if (request.body.size() > kMaxBatchBytes) {
        return entry.game->Refused({"too-large", "a live game's batch is at most 64 KiB"}, answer);
    }
    {
        const std::lock_guard<std::mutex> hold(entry.lock);
        // A batch costs the hall a replay's wake and a row: even an empty one counts.
        entry.bytes += std::max<size_t>(request.body.size(), kMinBatchBytes);
        if (entry.bytes > kMaxRecordingBytes) {
            return entry.game->Refused({"too-large", "a live game's lines are at most 1 MiB"},
                                       answer);
        }
    }
    Refusal refusal;
    std::optional<LiveLines> lines = ReadLiveLines(request.body, entry.game->seed(), refusal);
    if (!lines) return entry.game->Refused(refusal, answer);
    entry.game->Batch(std::move(*lines), arrival, answer);
}

HttpResponse LiveRoutes::List() {
    QJsonArray list;
    for (const LiveRow& g : PlayingLiveGames(store_, 100)) {
        QJsonObject o{{"id", QString::fromStdString(g.id)},
                      {"stars", g.stars},
                      {"frame", static_cast<qint64>(g.frame)},
                      {"score", g.score}};
        if (!g.name.empty()) o["name"] = QString::fromStdString(g.name);
        list.append(o);
    }
    return Json(200, {{"live", list}});
}

HttpResponse LiveRoutes::Watch(const std::string& id, const HttpRequest& request) {
    const std::optional<LiveRow> row = FindLiveGame(store_, id);
    if (!row) return Refuse({"not-found", "no live game has this id"});
    if (row->state == "stored" && LiveGameHidden(store_, row->ticket))
        return Refuse({"hidden", "this game was taken out of the hall"});
    HttpResponse r;
    // A watcher that comes back (to this hall or another) says the last batch it read.
    std::optional<int64_t> after;
    if (const std::string* last = request.Header("Last-Event-ID")) {
        int64_t n = -1;
        const auto [end, error] = std::from_chars(last->data(), last->data() + last->size(), n);
        if (error == std::errc() && end == last->data() + last->size() && n >= 0) after = n;
    }
    r.stream = relay_.Watch(id, after);
    if (!r.stream) return Refuse({"too-many-watchers", "this game has all the watchers it can"});
    r.contentType = "text/event-stream";
    r.headers = {{"Cache-Control", "no-cache"}, {"X-Accel-Buffering", "no"}};
    return r;
}

void LiveRoutes::Tick() {
    try {
        const int64_t now = WallMs();
        RenewLiveLeases(store_, instance_, now + kLeaseMs);
        // A game whose hall died and that nobody carried on is a stream that stopped: once
        // its player's client, which sends a batch again for kRetryMs, has given up too.
        const int64_t stall = std::max<int64_t>(int64_t(options_.liveStall) * 1000, kRetryMs);
        for (const std::string& id : AbandonLiveGames(store_, now - stall, instance_)) {
            std::fprintf(stderr, "korvane-hall: the live game %s was abandoned\n", id.c_str());
            const std::lock_guard<std::mutex> hold(lock_);
            ++abandoned_;
        }
    } catch (const StoreError& e) {
        store_.Failed(e);  // said once while the database is away, not each second
    }
    Sweep();
}

std::optional<Refusal> LiveRoutes::TakeEnded(const std::string& ticket, std::string& recording,
                                             uint64_t& seed) {
    const std::optional<LiveRow> g = LiveGameOfTicket(store_, ticket);
    if (!g) {
        return Refusal{"not-live", "this ticket's game was not played live: send its recording"};
    }
    if (g->state == "playing") return Refusal{"live-playing", "the live game has not ended yet"};
    if (g->state == "refused") {
        return Refusal{g->error, "the live game was refused (" + g->error + ")"};
    }
    if (!TakeEndedLiveGame(store_, g->id))
        return Refusal{"ticket-used", "this live game is already in the hall"};
    for (const auto& [seq, lines] : LiveBatches(store_, g->id, 0)) {
        recording += lines;
        if (!lines.empty() && lines.back() != '\n') recording += '\n';
    }
    seed = static_cast<uint64_t>(g->seed);
    return std::nullopt;
}

void LiveRoutes::NotStored(const std::string& ticket, const std::optional<Refusal>& refusal) {
    if (const std::optional<LiveRow> g = LiveGameOfTicket(store_, ticket))
        ReleaseTakenLiveGame(store_, g->id, refusal ? refusal->code : "");
}

void LiveRoutes::Sweep() {
    std::vector<std::shared_ptr<Entry>> over, all;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        for (const auto& [id, entry] : games_) all.push_back(entry);
    }
    // A game opened and never played frees its place once its time to start has run out.
    const double now = LiveGame::Now();
    for (const auto& entry : all) entry->game->Expire(now);
    {
        const std::lock_guard<std::mutex> hold(lock_);
        for (auto it = games_.begin(); it != games_.end();) {
            const Entry& e = *it->second;
            if ((e.lost && e.writing == 0) ||
                (e.game->Over() && e.endStored && now - e.endedAt > kEndKeptSeconds)) {
                over.push_back(it->second);
                it = games_.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Their replays are dropped here, outside the lock.
}

LiveCounts LiveRoutes::Counts() {
    const std::lock_guard<std::mutex> hold(lock_);
    LiveCounts c{started_, accepted_, refused_, abandoned_, 0, relay_.Watchers(), taken_};
    for (const auto& [id, entry] : games_) c.games += !entry->game->Over();
    return c;
}

}  // namespace korvane::hall
