#include "player_routes.h"

#include <QJsonArray>
#include <charconv>

#include "gate/name_check.h"
#include "player_key.h"

namespace korvane::hall {

std::optional<int64_t> QueryNumber(const std::string& text, int64_t lo) {
    int64_t n = 0;
    auto [ptr, err] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || err != std::errc() || ptr != text.data() + text.size() || n < lo)
        return std::nullopt;
    return n;
}

std::optional<Refusal> ReadTableQuery(const HttpRequest& request, int defaultLimit,
                                      int maxLimit, TableQuery& query) {
    query.limit = defaultLimit;
    if (const std::string* text = request.Query("limit")) {
        const std::optional<int64_t> n = QueryNumber(*text, 1);
        if (!n) return Refusal{"bad-query", "limit is a whole number from 1 (at most 1000)"};
        query.limit = static_cast<int>(std::min<int64_t>(*n, maxLimit));
    }
    if (const std::string* text = request.Query("offset")) {
        const std::optional<int64_t> n = QueryNumber(*text, 0);
        if (!n) return Refusal{"bad-query", "offset is a whole number from 0"};
        query.offset = *n;
    }
    if (const std::string* text = request.Query("stars")) {
        const std::optional<int64_t> n = QueryNumber(*text, 0);
        if (!n || *n > kCategories.back().highStars)
            return Refusal{"bad-query", "stars is a star count from 0 to 500"};
        query.category = &CategoryOf(static_cast<int>(*n));
    } else if (const std::string* id = request.Query("category"); id && !id->empty()) {
        query.category = CategoryById(*id);
        if (!query.category) {
            return Refusal{"bad-query",
                           "category is one of standard, fast, frantic, slow"};
        }
    }
    if (const std::string* all = request.Query("all")) query.everyGame = *all == "1";
    if (const std::string* name = request.Query("name"); name && !name->empty()) {
        // The start of a name is read as a whole one is, and compared as people read it.
        std::string normalised;
        if (std::optional<Refusal> r = CheckName(*name, normalised))
            return Refusal{"bad-query", "name is the start of a name: " + r->message};
        query.prefix = names::PlayerKey(normalised);
        query.shownPrefix = normalised;
    }
    return std::nullopt;
}

std::string TableQueryKey(const TableQuery& q) {
    return std::string(q.category->id) + (q.everyGame ? " all " : " best ") +
           std::to_string(q.offset) + " " + std::to_string(q.limit) + " " + q.shownPrefix;
}

QJsonObject RowJson(const ScoreRow& r) {
    QJsonObject row{{"id", static_cast<qint64>(r.id)},
                    {"name", QString::fromStdString(r.name)},
                    {"score", r.score},
                    {"winscore", r.winscore},
                    {"stars", r.stars},
                    {"category", CategoryOf(r.stars).id},
                    {"frames", static_cast<qint64>(r.frames)},
                    {"date", QString::fromStdString(r.date)}};
    if (r.rank > 0) row["rank"] = static_cast<qint64>(r.rank);
    return row;
}

QJsonObject CategoryJson(const Category& c) {
    return {{"id", c.id},
            {"name", c.name},
            {"stars", QJsonArray{c.lowStars, c.highStars}}};
}

std::optional<PlayerView> ReadPlayer(Store& store, const std::string& name, int64_t offset,
                                     int limit) {
    std::string normalised;
    if (CheckName(name, normalised)) return std::nullopt;
    const std::string player = names::PlayerKey(normalised);
    const std::optional<std::string> shown = ShownName(store, player);
    if (!shown) return std::nullopt;
    PlayerView view{*shown, {}, {}, 0, offset, limit};
    for (const Category& c : kCategories) {
        TableQuery best;
        best.category = &c;
        best.player = player;
        best.limit = 1;
        for (const ScoreRow& row : TableRows(store, best)) view.best.push_back(row);
    }
    view.games = PlayerGames(store, player, offset, limit, view.total);
    return view;
}

QJsonObject PlayerJson(const PlayerView& view) {
    QJsonArray best, games;
    for (const ScoreRow& r : view.best) best.append(RowJson(r));
    for (const ScoreRow& r : view.games) games.append(RowJson(r));
    return {{"name", QString::fromStdString(view.name)},
            {"best", best},
            {"games", games},
            {"total", static_cast<qint64>(view.total)},
            {"offset", static_cast<qint64>(view.offset)},
            {"limit", view.limit}};
}

}  // namespace korvane::hall
