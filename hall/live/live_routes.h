#pragma once
// Live play's routes: a live game opened on a ticket, its batches of lines, the games in
// progress, a game watched as server-sent events, and a live game that ended stored under
// a name. The per-address limits on live games are this hall's own.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "http/client_limits.h"
#include "live_options.h"
#include "http/http_server.h"
#include "live_game.h"
#include "live_relay.h"
#include "http/metrics.h"
#include "store/store.h"
#include "gate/submission.h"

namespace korvane::hall {

// Whether id has the form of a live game's id (which its routes' paths carry).
bool IsLiveGameId(const std::string& id);

class LiveRoutes {
  public:
    LiveRoutes(const LiveOptions& options, Store& store, std::string instance);
    ~LiveRoutes();

    void Start() { relay_.start(); }
    // The games in progress end (their waiting batches told the hall stops), and the
    // relay stops.
    void Stop();

    // The routes of live play (their paths are in the hall's table of routes).
    // POST /api/live: a game opened on a ticket.
    HttpResponse Open(const HttpRequest& request, const std::string& client);
    // GET /api/live: the games in progress.
    HttpResponse List();
    // POST /api/live/ID/lines: a batch that arrived at `arrival` (the steady clock), for a
    // game of this hall's or one to take over.
    void Lines(const std::string& id, const HttpRequest& request, Reply reply, double arrival);
    // GET /api/live/ID/stream: the game watched, as server-sent events.
    HttpResponse Watch(const std::string& id, const HttpRequest& request);
    // A live game that ended, taken for the table: its lines as the hall received them
    // and its seed, to be verified as any recording; or why not. Once taken, a game is not
    // taken again.
    std::optional<Refusal> TakeEnded(const std::string& ticket, std::string& recording,
                                     uint64_t& seed);
    // A game taken but not stored: refused by its replay (for good), or left by a database
    // that failed (to be sent again).
    void NotStored(const std::string& ticket, const std::optional<Refusal>& refusal);
    // The counts for /metrics.
    LiveCounts Counts();

  private:
    struct Entry;
    // The batch asked about again in `seconds`, on the relay's thread (a copy of the request:
    // its connection waits meanwhile).
    void LinesLater(double seconds, const std::string& id, const HttpRequest& request,
                    Reply reply, double arrival);
    // A game in progress whose hall is not this one: taken over once its lease has run out.
    void CarryOn(const LiveRow& row, const HttpRequest& request, Reply reply, double arrival);
    // The batch to this hall's game.
    void Take(Entry& entry, const HttpRequest& request, const Reply& reply, double arrival);
    LiveGame::Hooks HooksOf(const std::string& id, Entry& entry);
    // Each second, on the relay's thread: this hall's leases renewed, games nobody carries
    // on abandoned, and the sweep.
    void Tick();
    // Forgets the games that are over (their replays have ended) or taken over elsewhere.
    void Sweep();

    const LiveOptions& options_;
    Store& store_;
    std::string instance_;
    PaceRules rules_;
    LiveRelay relay_;
    RateLimit starts_;
    // Steps every live game's replay; outlives the games, which are dropped before it.
    LivePool pool_;
    std::mutex lock_;
    std::map<std::string, std::shared_ptr<Entry>> games_;
    std::set<std::string> taking_;  // games being taken over here
    int64_t started_ = 0, accepted_ = 0, refused_ = 0, abandoned_ = 0, taken_ = 0;
};

}  // namespace korvane::hall
