#include "live_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QStringList>
#include <chrono>
#include <functional>
#include <map>
#include <set>

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

// A flush's rows go a few hundred to a statement: each statement is a round trip to
// PostgreSQL, and a flush under many live games holds a batch of most of them.
constexpr size_t kRowsPerStatement = 400;

// Runs `sql` once for each run of up to kRowsPerStatement of the rows, `rows` standing in
// the text for that many copies of `row` (joined with commas), each row's values bound in
// order by bind(i, values).
template <typename Bind>
void RunInRows(QSqlQuery& q, size_t count, const QString& sql, const QString& row, Bind bind,
               const std::function<void(QSqlQuery&)>& read = nullptr) {
    for (size_t from = 0; from < count; from += kRowsPerStatement) {
        const size_t to = std::min(count, from + kRowsPerStatement);
        QStringList rows;
        QVariantList values;
        for (size_t i = from; i < to; ++i) {
            rows.append(row);
            bind(i, values);
        }
        Exec(q, QString(sql).replace("{rows}", rows.join(',')), values);
        if (read) read(q);
    }
}

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

bool OpenLiveGame(Store& store, const LiveRow& g, const std::string& address, int64_t now) {
    bool spent = false;
    Transaction(store, [&](QSqlQuery& q) {
        Exec(q, "UPDATE tickets SET used = 1 WHERE id = ? AND used = 0 AND expires > ?",
             {Q(g.ticket), Long(now)});
        spent = q.numRowsAffected() == 1;
        if (!spent) return;
        Exec(q,
             "INSERT INTO live_games (id, ticket, seed, address, name, started, owner, hall, "
             "lease, arrived) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
             {Q(g.id), Q(g.ticket), Long(g.seed), Q(address), Q(g.name), Long(now), Q(g.owner),
              Q(g.hall), Long(g.lease), Long(g.arrived)});
    });
    return spent;
}

std::vector<bool> WriteLive(Store& store, const std::vector<LiveWrite>& writes,
                            const std::string& instance) {
    std::vector<bool> written;
    Transaction(store, [&](QSqlQuery& q) {
        written.assign(writes.size(), false);
        // Each game's progress as its last batch here says, where the game is still this
        // hall's (its fence held): the games that are, as the statement answers them.
        std::map<std::string, size_t> last;
        for (size_t i = 0; i < writes.size(); ++i) {
            if (!writes[i].end) last[writes[i].id] = i;
        }
        std::vector<size_t> progress;
        for (const auto& [id, i] : last) progress.push_back(i);
        std::set<std::string> held;
        RunInRows(
            q, progress.size(),
            "WITH v (id, fence, frame, score, stars, arrived, paused, pauses) AS (VALUES {rows}) "
            "UPDATE live_games SET frame = v.frame, score = v.score, stars = v.stars, "
            "arrived = v.arrived, paused = v.paused, pauses = v.pauses FROM v WHERE "
            "live_games.id = v.id AND live_games.fence = v.fence AND "
            "live_games.state = 'playing' RETURNING live_games.id",
            "(CAST(? AS TEXT), CAST(? AS BIGINT), CAST(? AS BIGINT), CAST(? AS INTEGER), "
            "CAST(? AS INTEGER), CAST(? AS BIGINT), CAST(? AS BIGINT), CAST(? AS INTEGER))",
            [&](size_t k, QVariantList& values) {
                const LiveWrite& w = writes[progress[k]];
                values << Q(w.id) << Long(w.fence) << Long(w.progress.frame) << w.progress.score
                       << w.progress.stars << Long(w.progress.arrived) << Long(w.progress.paused)
                       << w.progress.pauses;
            },
            [&](QSqlQuery& rows) {
                while (rows.next()) held.insert(rows.value(0).toString().toStdString());
            });
        std::vector<size_t> batches;
        for (size_t i = 0; i < writes.size(); ++i) {
            if (!writes[i].end && held.count(writes[i].id)) batches.push_back(i);
        }
        for (const size_t i : batches) written[i] = true;
        RunInRows(q, batches.size(), "INSERT INTO live_batches (live, seq, lines) VALUES {rows}",
                  "(?, ?, ?)", [&](size_t k, QVariantList& values) {
                      const LiveWrite& w = writes[batches[k]];
                      values << Q(w.id) << Long(w.seq) << Q(w.lines);
                  });
        // The other halls hear of each batch once the transaction commits.
        if (store.postgres()) {
            RunInRows(q, batches.size(),
                      "SELECT pg_notify(v.channel, v.payload) FROM (VALUES {rows}) AS v (channel, "
                      "payload)",
                      "(CAST(? AS TEXT), CAST(? AS TEXT))", [&](size_t k, QVariantList& values) {
                          const LiveWrite& w = writes[batches[k]];
                          values << QString(kLiveChannel)
                                 << Q(instance + " " + w.id + " " + std::to_string(w.seq));
                      });
        }
        // The ends, after their games' last batches.
        for (size_t i = 0; i < writes.size(); ++i) {
            const LiveWrite& w = writes[i];
            if (!w.end) continue;
            Exec(q,
                 "UPDATE live_games SET state = ?, score = ?, error = ? WHERE id = ? AND fence = ?",
                 {w.end->score ? "ended" : "refused", w.end->score.value_or(0),
                  Q(w.end->refusal.code), Q(w.id), Long(w.fence)});
            written[i] = q.numRowsAffected() == 1;
            if (written[i]) Notify(store, q, instance + " " + w.id + " end");
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
