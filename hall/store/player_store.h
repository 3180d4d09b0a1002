#pragma once
// Players in the hall's database: a name belongs to whoever first stored a score under it
// (as people read it: names/player_key.h), who holds it with a key only its hash of which is
// kept; a game refused because its name is someone else's, held an hour to be sent again;
// and the tables read by category, a row per player or every game, with their ranks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "categories.h"
#include "store.h"

namespace korvane::hall {

// A key as the hall makes them: 32 hexadecimal digits.
bool IsPlayerKey(const std::string& key);
std::string NewPlayerKey();
// SHA-256, in hexadecimal: what the database keeps of a key.
std::string HashKey(const std::string& key);

enum class PlayerClaim { Claimed, Held, Taken };
// Inside the caller's transaction: claims player for keyHash when nobody holds it (of any
// number racing, on any hall, one claims), or says whether keyHash is the one it is held by.
PlayerClaim ClaimPlayer(Store& store, const std::string& player, const std::string& keyHash,
                        int64_t now);
// The operator's release: the player's name may be claimed again. False: nobody held it.
bool ReleasePlayer(Store& store, const std::string& player);

// A verified game refused because its name is someone else's, by its ticket.
struct HeldGame {
    std::string ticket;
    int32_t score = 0, winscore = 0, stars = 0;
    int64_t frames = 0;
    std::string recording;
};
constexpr int64_t kHeldSeconds = 3600;
void HoldGame(Store& store, const HeldGame& game, int64_t now);
std::optional<HeldGame> HeldGameOf(Store& store, const std::string& ticket, int64_t now);
void ForgetHeldGame(Store& store, const std::string& ticket);
void ForgetExpiredHeldGames(Store& store, int64_t now);

// A table of a category: each player's best game (equal scores: the earlier), or every
// game; ranked over the whole category (equal scores share a rank), then narrowed to the
// players whose key starts with prefix, or to one player.
struct TableQuery {
    const Category* category = &kCategories[0];
    bool everyGame = false;
    std::string prefix;       // a player key's start
    std::string shownPrefix;  // as the player typed it (NFC)
    std::optional<std::string> player;
    int64_t offset = 0;
    int limit = 50;
};
// Each row's name is its player's first spelling.
std::vector<ScoreRow> TableRows(Store& store, const TableQuery& query);
// Where a score of player stands among the other players' bests in category.
int64_t PlaceAmongPlayers(Store& store, const Category& category, const std::string& player,
                          int32_t score);
// The player's visible games, newest first, and how many there are.
std::vector<ScoreRow> PlayerGames(Store& store, const std::string& player, int64_t offset,
                                  int limit, int64_t& total);
// The first spelling of the player's name, or nothing when it has no game.
std::optional<std::string> ShownName(Store& store, const std::string& player);

}  // namespace korvane::hall
