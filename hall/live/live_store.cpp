#include "live_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <chrono>

#include "store/sql_values.h"

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

// A statement prepared once and run for many rows: a flush of the relay writes hundreds of
// batches in one transaction.
class Prepared {
  public:
    Prepared(Store& store, const char* sql) : q_(store.Connection()) {
        if (!q_.prepare(QString::fromLatin1(sql))) throw StoreError(q_.lastError().text().toStdString());
    }
    // Runs it with these values; the rows it changed.
    int Run(const QVariantList& values) {
        for (int i = 0; i < values.size(); ++i) q_.bindValue(i, values[i]);
        if (!q_.exec()) throw StoreError(q_.lastError().text().toStdString());
        return q_.numRowsAffected();
    }

  private:
    QSqlQuery q_;
};

void Notify(Store& store, QSqlQuery& q, const std::string& payload) {
    if (store.postgres()) Exec(q, "SELECT pg_notify(?, ?)", {QString(kLiveChannel), Q(payload)});
}

const char kColumns[] =
    "id, ticket, seed, name, state, score, stars, frame, error, owner, hall, lease, fence, "
    "arrived, paused, pauses";

std::vector<LiveRow> ReadRows(QSqlQuery& q) {
    std::vector<LiveRow> rows;
    const auto text = [&q](int i) { return q.value(i).toString().toStdString(); };
    while (q.next()) {
        rows.push_back({text(0), text(1), q.value(2).toLongLong(), text(3), text(4),
                        q.value(5).toInt(), q.value(6).toInt(), q.value(7).toLongLong(), text(8),
                        text(9), text(10), q.value(11).toLongLong(), q.value(12).toLongLong(),
                        q.value(13).toLongLong(), q.value(14).toLongLong(), q.value(15).toInt()});
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

int64_t WallMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void InsertLiveGame(Store& store, const LiveRow& g, const std::string& address, int64_t now) {
    QSqlQuery q(store.Connection());
    Exec(q,
         "INSERT INTO live_games (id, ticket, seed, address, name, started, owner, hall, lease,"
         " arrived) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
         {Q(g.id), Q(g.ticket), Long(g.seed), Q(address), Q(g.name), Long(now), Q(g.owner),
          Q(g.hall), Long(g.lease), Long(g.arrived)});
}

std::vector<bool> WriteLive(Store& store, const std::vector<LiveWrite>& writes,
                            const std::string& instance) {
    std::vector<bool> written;
    Transaction(store, [&](QSqlQuery& q) {
        written.clear();
        Prepared progress(store,
                          "UPDATE live_games SET frame = ?, score = ?, stars = ?, arrived = ?, "
                          "paused = ?, pauses = ? WHERE id = ? AND fence = ? AND state = 'playing'");
        Prepared batch(store, "INSERT INTO live_batches (live, seq, lines) VALUES (?, ?, ?)");
        for (const LiveWrite& w : writes) {
            if (const std::optional<LiveEnd>& end = w.end) {
                Exec(q,
                     "UPDATE live_games SET state = ?, score = ?, error = ? WHERE id = ? AND "
                     "fence = ?",
                     {end->score ? "ended" : "refused", end->score.value_or(0),
                      Q(end->refusal.code), Q(w.id), Long(w.fence)});
                written.push_back(q.numRowsAffected() == 1);
                if (written.back()) Notify(store, q, instance + " " + w.id + " end");
                continue;
            }
            written.push_back(progress.Run({Long(w.progress.frame), w.progress.score,
                                            w.progress.stars, Long(w.progress.arrived),
                                            Long(w.progress.paused), w.progress.pauses, Q(w.id),
                                            Long(w.fence)}) == 1);
            if (!written.back()) continue;
            batch.Run({Q(w.id), Long(w.seq), Q(w.lines)});
            Notify(store, q, instance + " " + w.id + " " + std::to_string(w.seq));
        }
    });
    return written;
}

void RenewLiveLeases(Store& store, const std::string& owner, int64_t leaseMs) {
    QSqlQuery q(store.Connection());
    Exec(q, "UPDATE live_games SET lease = ? WHERE owner = ? AND state = 'playing'",
         {Long(leaseMs), Q(owner)});
}

bool TakeLiveGame(Store& store, const LiveRow& g, const std::string& owner,
                  const std::string& hall, int64_t leaseMs, int64_t nowMs) {
    QSqlQuery q(store.Connection());
    Exec(q,
         "UPDATE live_games SET owner = ?, hall = ?, lease = ?, fence = fence + 1 WHERE id = ? "
         "AND fence = ? AND state = 'playing' AND lease <= ?",
         {Q(owner), Q(hall), Long(leaseMs), Q(g.id), Long(g.fence), Long(nowMs)});
    return q.numRowsAffected() == 1;
}

std::vector<std::string> AbandonLiveGames(Store& store, int64_t beforeMs,
                                          const std::string& instance) {
    std::vector<std::pair<std::string, int64_t>> stale;
    {
        QSqlQuery q(store.Connection());
        Exec(q, "SELECT id, fence FROM live_games WHERE state = 'playing' AND lease < ?",
             {Long(beforeMs)});
        while (q.next()) stale.emplace_back(q.value(0).toString().toStdString(), q.value(1).toLongLong());
    }
    std::vector<std::string> abandoned;
    for (const auto& [id, fence] : stale) {
        Transaction(store, [&, id = id, fence = fence](QSqlQuery& q) {
            Exec(q,
                 "UPDATE live_games SET state = 'refused', error = 'not-live', fence = fence + 1"
                 " WHERE id = ? AND fence = ? AND state = 'playing' AND lease < ?",
                 {Q(id), Long(fence), Long(beforeMs)});
            if (q.numRowsAffected() != 1) return;
            abandoned.push_back(id);
            Notify(store, q, instance + " " + id + " end");
        });
    }
    return abandoned;
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
