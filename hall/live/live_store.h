#pragma once
// The live games in the database, so that every hall sharing it can list them, pass their
// batches on to its watchers, and store one that ended on whichever hall the name comes
// to. Batches and ends are told to the other halls by PostgreSQL's NOTIFY on kLiveChannel
// (payload: the writing hall's name, the game's id, and the batch's number or "end"); the
// lines themselves are read from the table, as a NOTIFY carries at most 8000 bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "live_game.h"
#include "store/store.h"

namespace korvane::hall {

constexpr const char kLiveChannel[] = "korvane_hall_live";

struct LiveRow {
    std::string id;
    std::string ticket;
    int64_t seed = 0;
    std::string name;
    std::string state;  // playing, ended, refused, stored
    int32_t score = 0;
    int32_t stars = 0;
    int64_t frame = 0;
    std::string error;
    // Who plays it: the hall's process (owner) and the name it is reached by (hall), until
    // lease (ms since 1970); fence counts the halls that have taken it over.
    std::string owner;
    std::string hall;
    int64_t lease = 0;
    int64_t fence = 0;
    int64_t arrived = 0;  // its last batch's arrival, ms since 1970
    int64_t paused = 0;   // its pauses' time so far, ms
    int32_t pauses = 0;   // and how many
};

// The wall clock in ms since 1970: leases are compared across halls (whose clocks are
// kept by NTP, as a database's clients' are).
int64_t WallMs();

// Spends the game's ticket and adds the game, in one transaction: a database that fails
// between them leaves the ticket unspent. False when the ticket was spent or had expired.
bool OpenLiveGame(Store& store, const LiveRow& game, const std::string& address, int64_t now);
// A batch this hall's replay ran, or (end set) a game's end.
struct LiveWrite {
    std::string id;
    int64_t fence = 0;  // the game's as this hall holds it
    int64_t seq = 0;
    std::string lines;
    LiveProgress progress;
    std::optional<LiveEnd> end;
};
// Writes them and their notices in one transaction, each game's batches in order and before
// its end: under many live games, one commit and a few statements for all that came
// meanwhile. A write whose game another hall has taken over since (its fence moved on) is
// left out: false in its place.
std::vector<bool> WriteLive(Store& store, const std::vector<LiveWrite>& writes,
                            const std::string& instance);
// This hall's games in progress are still its own until leaseMs.
void RenewLiveLeases(Store& store, const std::string& owner, int64_t leaseMs);
// Takes a game whose lease ran out by `until` (nowMs, or its lease as it was read, for a
// game whose batches have moved away from its hall) over, with the next fence: true for the
// one hall that did.
bool TakeLiveGame(Store& store, const LiveRow& game, const std::string& owner,
                  const std::string& hall, int64_t leaseMs, int64_t nowMs);
// Games whose lease ran out before beforeMs and that nobody carried on, refused as
// abandoned (their watchers told); their ids.
std::vector<std::string> AbandonLiveGames(Store& store, int64_t beforeMs,
                                          const std::string& instance);
std::optional<LiveRow> FindLiveGame(Store& store, const std::string& id);
std::optional<LiveRow> LiveGameOfTicket(Store& store, const std::string& ticket);
std::vector<LiveRow> PlayingLiveGames(Store& store, int limit);
// The batches from number `from` on, in order.
std::vector<std::pair<int64_t, std::string>> LiveBatches(Store& store, const std::string& id,
                                                         int64_t from);
// Whether the score stored from the ticket's game is hidden.
bool LiveGameHidden(Store& store, const std::string& ticket);
// An ended game taken for the table: true for the one call (of any, on any hall) that did.
bool TakeEndedLiveGame(Store& store, const std::string& id);
// A game taken but not stored: refused with error, or (no error) ended again, to be taken
// once more.
void ReleaseTakenLiveGame(Store& store, const std::string& id, const std::string& error);
// The batches of the ticket's game, once its score is stored: the recording holds the lines.
void ForgetStoredBatches(Store& store, const std::string& ticket);
// What live play keeps for moderation, forgotten keepSeconds after a game opened: the
// player's address of every game, and a game that did not reach the table (refused,
// abandoned, never entered, or played on a hall that stopped), row and batches. A stored
// game keeps its row, the link from its watch link to its score.
void SweepLiveGames(Store& store, int64_t now, int64_t keepSeconds);

}  // namespace korvane::hall
