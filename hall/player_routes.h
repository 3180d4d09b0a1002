#pragma once
// The hall's tables as clients ask for them: a category's table (GET /api/scores, and the
// front page), a player's page (GET /api/players/NAME, /players/NAME). Each reads the
// database once per version of the table (the caller remembers the answer).

#include <QJsonObject>
#include <cstdint>
#include <optional>
#include <string>

#include "http/http_server.h"
#include "store/player_store.h"
#include "http/refusal.h"

namespace korvane::hall {

// A whole decimal number from lo up, or nothing.
std::optional<int64_t> QueryNumber(const std::string& text, int64_t lo);

// ?stars=N or ?category=ID (the first category without either), all=1, name=PREFIX,
// offset, limit (up to maxLimit); why not when one of them is wrong.
std::optional<Refusal> ReadTableQuery(const HttpRequest& request, int defaultLimit,
                                      int maxLimit, TableQuery& query);
// Names what query asks for, for answers remembered per version of the table.
std::string TableQueryKey(const TableQuery& query);

QJsonObject RowJson(const ScoreRow& row);
QJsonObject CategoryJson(const Category& category);

// A player's answer: its name's first spelling, its best per category, its games newest
// first from offset; nothing when no visible game is the player's.
struct PlayerView {
    std::string name;
    std::vector<ScoreRow> best;  // one per category played, in the categories' order
    std::vector<ScoreRow> games;
    int64_t total = 0, offset = 0;
    int limit = 50;
};
std::optional<PlayerView> ReadPlayer(Store& store, const std::string& name, int64_t offset,
                                     int limit);
QJsonObject PlayerJson(const PlayerView& view);

}  // namespace korvane::hall
