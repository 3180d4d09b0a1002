#include "player_store.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QVariant>

#include "sql_values.h"

namespace korvane::hall {

namespace {

// The same two hashes, found by reading every character whatever differs: the time taken
// tells a guesser nothing of how much of a hash it has right.
bool SameHash(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    unsigned char differ = 0;
    for (size_t i = 0; i < a.size(); ++i) differ |= static_cast<unsigned char>(a[i] ^ b[i]);
    return differ == 0;
}

// The player's first spelling, for the row of a score.
const char kShownName[] =
    "(SELECT f.name FROM scores f WHERE f.player = r.player AND f.hidden = 0"
    " ORDER BY f.id LIMIT 1)";

ScoreRow ReadRankedRow(const QSqlQuery& q) {
    return {q.value(0).toLongLong(),         q.value(7).toLongLong(),
            q.value(1).toString().toStdString(), q.value(2).toInt(),
            q.value(3).toInt(),              q.value(4).toInt(),
            q.value(5).toLongLong(),         q.value(6).toString().toStdString()};
}

}  // namespace

bool IsPlayerKey(const std::string& key) {
    if (key.size() != 32) return false;
    for (const char c : key) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

std::string NewPlayerKey() {
    return RandomHexId();
}

std::string HashKey(const std::string& key) {
    return QCryptographicHash::hash(QByteArray::fromStdString(key), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

PlayerClaim ClaimPlayer(Store& store, const std::string& player, const std::string& keyHash,
                        int64_t now) {
    QSqlQuery q(store.Connection());
    // Both databases take ON CONFLICT: a second hall claiming the same player at once finds
    // the first's row, and the key decides.
    Exec(q,
         "INSERT INTO players (player, key_hash, claimed) VALUES (?, ?, ?)"
         " ON CONFLICT (player) DO NOTHING",
         {Q(player), Q(keyHash), Long(now)});
    if (q.numRowsAffected() == 1) return PlayerClaim::Claimed;
    Exec(q, "SELECT key_hash FROM players WHERE player = ?", {Q(player)});
    const std::string held = q.next() ? q.value(0).toString().toStdString() : std::string();
    q.finish();
    return SameHash(held, keyHash) ? PlayerClaim::Held : PlayerClaim::Taken;
}

bool ReleasePlayer(Store& store, const std::string& player) {
    QSqlQuery q(store.Connection());
    Exec(q, "DELETE FROM players WHERE player = ?", {Q(player)});
    return q.numRowsAffected() == 1;
}

void HoldGame(Store& store, const HeldGame& g, int64_t now) {
    QSqlQuery q(store.Connection());
    Exec(q,
         "INSERT INTO held_games (ticket, score, winscore, stars, frames, recording, expires)"
         " VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (ticket) DO NOTHING",
         {Q(g.ticket), g.score, g.winscore, g.stars, Long(g.frames), Q(g.recording),
          Long(now + kHeldSeconds)});
}

std::optional<HeldGame> HeldGameOf(Store& store, const std::string& ticket, int64_t now) {
    QSqlQuery q(store.Connection());
    Exec(q,
         "SELECT score, winscore, stars, frames, recording FROM held_games"
         " WHERE ticket = ? AND expires > ?",
         {Q(ticket), Long(now)});
    if (!q.next()) return std::nullopt;
    return HeldGame{ticket,
                    q.value(0).toInt(),
                    q.value(1).toInt(),
                    q.value(2).toInt(),
                    q.value(3).toLongLong(),
                    q.value(4).toString().toStdString()};
}

void ForgetHeldGame(Store& store, const std::string& ticket) {
    QSqlQuery q(store.Connection());
    Exec(q, "DELETE FROM held_games WHERE ticket = ?", {Q(ticket)});
}

void ForgetExpiredHeldGames(Store& store, int64_t now) {
    QSqlQuery q(store.Connection());
    Exec(q, "DELETE FROM held_games WHERE expires <= ?", {Long(now)});
}

std::vector<ScoreRow> TableRows(Store& store, const TableQuery& query) {
    // Ranked over the category before any narrowing, so that a search or a player's page
    // shows the same ranks as the table.
    const QString inCategory = "hidden = 0 AND stars >= ? AND stars <= ?";
    const QString ranked =
        query.everyGame
            ? "SELECT id, player, score, winscore, stars, frames, created,"
              " RANK() OVER (ORDER BY score DESC) AS place FROM scores WHERE " +
                  inCategory
            : "SELECT b.*, RANK() OVER (ORDER BY b.score DESC) AS place FROM"
              " (SELECT id, player, score, winscore, stars, frames, created,"
              " ROW_NUMBER() OVER (PARTITION BY player ORDER BY score DESC, id) AS nth"
              " FROM scores WHERE " +
                  inCategory + ") b WHERE b.nth = 1";
    QVariantList values = {query.category->lowStars, query.category->highStars};
    QString narrowed;
    if (query.player) {
        narrowed = "r.player = ?";
        values << Q(*query.player);
    } else {
        narrowed = "substr(r.player, 1, ?) = ?";
        values << static_cast<int>(QString::fromStdString(query.prefix).toUcs4().size())
               << Q(query.prefix);
    }
    values << query.limit << Long(query.offset);
    QSqlQuery q(store.Connection());
    Exec(q,
         "SELECT r.id, " + QString(kShownName) +
             ", r.score, r.winscore, r.stars, r.frames, r.created, r.place FROM (" + ranked +
             ") r WHERE " + narrowed + " ORDER BY r.score DESC, r.id LIMIT ? OFFSET ?",
         values);
    std::vector<ScoreRow> rows;
    while (q.next()) rows.push_back(ReadRankedRow(q));
    return rows;
}

int64_t PlaceAmongPlayers(Store& store, const Category& category, const std::string& player,
                          int32_t score) {
    QSqlQuery q(store.Connection());
    Exec(q,
         "SELECT COUNT(*) FROM (SELECT MAX(score) AS best FROM scores WHERE hidden = 0"
         " AND stars >= ? AND stars <= ? AND player <> ? GROUP BY player) b WHERE b.best > ?",
         {category.lowStars, category.highStars, Q(player), score});
    return 1 + (q.next() ? q.value(0).toLongLong() : 0);
}

std::vector<ScoreRow> PlayerGames(Store& store, const std::string& player, int64_t offset,
                                  int limit, int64_t& total) {
    QSqlQuery q(store.Connection());
    Exec(q, "SELECT COUNT(*) FROM scores WHERE player = ? AND hidden = 0", {Q(player)});
    total = q.next() ? q.value(0).toLongLong() : 0;
    Exec(q,
         "SELECT r.id, " + QString(kShownName) +
             ", r.score, r.winscore, r.stars, r.frames, r.created, 0 FROM scores r"
             " WHERE r.player = ? AND r.hidden = 0 ORDER BY r.id DESC LIMIT ? OFFSET ?",
         {Q(player), limit, Long(offset)});
    std::vector<ScoreRow> rows;
    while (q.next()) rows.push_back(ReadRankedRow(q));
    return rows;
}

std::optional<std::string> ShownName(Store& store, const std::string& player) {
    QSqlQuery q(store.Connection());
    Exec(q, "SELECT name FROM scores WHERE player = ? AND hidden = 0 ORDER BY id LIMIT 1",
         {Q(player)});
    if (!q.next()) return std::nullopt;
    return q.value(0).toString().toStdString();
}

}  // namespace korvane::hall
