#include "live_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "sql_values.h"

namespace korvane::hall {

namespace {

// A write and its notice in one transaction: the other halls hear of it once it commits.
template <typename Write>
void Transaction(Store& store, Write write) {
    QSqlDatabase db = store.Connection();
    if (!db.transaction()) throw StoreError(db.lastError().text().toStdString());
    try {
        QSqlQuery q(db);
        write(q);
        q.finish();
        if (!db.commit()) throw StoreError(db.lastError().text().toStdString());
    } catch (const StoreError&) {
        db.rollback();
        throw;
    }
}

void Notify(Store& store, QSqlQuery& q, const std::string& payload) {
    if (store.postgres()) Exec(q, "SELECT pg_notify(?, ?)", {QString(kLiveChannel), Q(payload)});
}

const char kColumns[] = "id, ticket, seed, name, state, score, stars, frame, error";

std::vector<LiveRow> ReadRows(QSqlQuery& q) {
    std::vector<LiveRow> rows;
    while (q.next()) {
        rows.push_back({q.value(0).toString().toStdString(), q.value(1).toString().toStdString(),
                        q.value(2).toLongLong(), q.value(3).toString().toStdString(),
                        q.value(4).toString().toStdString(), q.value(5).toInt(), q.value(6).toInt(),
                        q.value(7).toLongLong(), q.value(8).toString().toStdString()});
    }
    return rows;
}

std::optional<LiveRow> OneRow(Store& store, const char* where, const std::string& key) {
    QSqlQuery q(store.Connection());
    Exec(q, QString("SELECT ") + kColumns + " FROM live_games WHERE " + where + " = ?", {Q(key)});
    std::vector<LiveRow> rows = ReadRows(q);
    if (rows.empty()) return std::nullopt;
    return rows.front();
}

}  // namespace

void InsertLiveGame(Store& store, const LiveRow& g, const std::string& address, int64_t now) {
    QSqlQuery q(store.Connection());
    Exec(q,
         "INSERT INTO live_games (id, ticket, seed, address, name, started) VALUES (?, ?, ?, ?, ?, "
         "?)",
         {Q(g.id), Q(g.ticket), Long(g.seed), Q(address), Q(g.name), Long(now)});
}

void WriteLive(Store& store, const std::vector<LiveWrite>& writes, const std::string& instance) {
    Transaction(store, [&](QSqlQuery& q) {
        for (const LiveWrite& w : writes) {
            if (const std::optional<LiveEnd>& end = w.end) {
                Exec(q, "UPDATE live_games SET state = ?, score = ?, error = ? WHERE id = ?",
                     {end->score ? "ended" : "refused", end->score.value_or(0),
                      Q(end->refusal.code), Q(w.id)});
                Notify(store, q, instance + " " + w.id + " end");
                continue;
            }
            Exec(q, "INSERT INTO live_batches (live, seq, lines) VALUES (?, ?, ?)",
                 {Q(w.id), Long(w.seq), Q(w.lines)});
            Exec(q, "UPDATE live_games SET frame = ?, score = ?, stars = ? WHERE id = ?",
                 {Long(w.progress.frame), w.progress.score, w.progress.stars, Q(w.id)});
            Notify(store, q, instance + " " + w.id + " " + std::to_string(w.seq));
        }
    });
}

std::optional<LiveRow> FindLiveGame(Store& store, const std::string& id) {
    return OneRow(store, "id", id);
}

std::optional<LiveRow> LiveGameOfTicket(Store& store, const std::string& ticket) {
    return OneRow(store, "ticket", ticket);
}

std::vector<LiveRow> PlayingLiveGames(Store& store, int limit) {
    QSqlQuery q(store.Connection());
    Exec(q,
         QString("SELECT ") + kColumns +
             " FROM live_games WHERE state = 'playing' ORDER BY started, id LIMIT ?",
         {limit});
    return ReadRows(q);
}

std::vector<std::pair<int64_t, std::string>> LiveBatches(Store& store, const std::string& id,
                                                         int64_t from) {
    QSqlQuery q(store.Connection());
    Exec(q, "SELECT seq, lines FROM live_batches WHERE live = ? AND seq >= ? ORDER BY seq",
         {Q(id), Long(from)});
    std::vector<std::pair<int64_t, std::string>> batches;
    while (q.next())
        batches.emplace_back(q.value(0).toLongLong(), q.value(1).toString().toStdString());
    return batches;
}

bool LiveGameHidden(Store& store, const std::string& ticket) {
    QSqlQuery q(store.Connection());
    Exec(q, "SELECT hidden FROM scores WHERE ticket = ?", {Q(ticket)});
    return q.next() && q.value(0).toInt() != 0;
}

bool TakeEndedLiveGame(Store& store, const std::string& id) {
    QSqlQuery q(store.Connection());
    Exec(q, "UPDATE live_games SET state = 'stored' WHERE id = ? AND state = 'ended'", {Q(id)});
    return q.numRowsAffected() == 1;
}

void ReleaseTakenLiveGame(Store& store, const std::string& id, const std::string& error) {
    QSqlQuery q(store.Connection());
    Exec(q, "UPDATE live_games SET state = ?, error = ? WHERE id = ? AND state = 'stored'",
         {error.empty() ? "ended" : "refused", Q(error), Q(id)});
}

void ForgetStoredBatches(Store& store, const std::string& ticket) {
    QSqlQuery q(store.Connection());
    Exec(q, "DELETE FROM live_batches WHERE live IN (SELECT id FROM live_games WHERE ticket = ?)",
         {Q(ticket)});
}

void SweepLiveGames(Store& store, int64_t now, int64_t keepSeconds) {
    // Each step may be run again: a hall stopped between two leaves the rest to the next.
    // A game with its address is one not yet swept (the index live_games_addressed).
    const QVariantList before = {Long(now - keepSeconds)};
    QSqlQuery q(store.Connection());
    Exec(q,
         "DELETE FROM live_batches WHERE live IN"
         " (SELECT id FROM live_games WHERE address <> '' AND started < ?)",
         before);
    Exec(q, "DELETE FROM live_games WHERE address <> '' AND started < ? AND state <> 'stored'",
         before);
    Exec(q, "UPDATE live_games SET address = '' WHERE address <> '' AND started < ?", before);
}

}  // namespace korvane::hall
