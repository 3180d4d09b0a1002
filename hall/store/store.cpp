#include "store.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <cstdio>
#include <fstream>
#include <random>

#include "database_url.h"
#include "player_store.h"
#include "schema.h"
#include "sql_values.h"

namespace korvane::hall {

namespace {

// A seed a browser's JavaScript number holds exactly (below 2^53).
int64_t RandomSeed() {
    std::random_device device;
    const uint64_t bits = (static_cast<uint64_t>(device()) << 32) | device();
    return static_cast<int64_t>(bits >> 11);
}

std::string IsoTime(int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate).toStdString();
}

// How many times this thread has opened its connection: a statement prepared for one
// opening is no good after the next.
thread_local int64_t tOpenings = 0;
// The database's outages counted when this thread's connection opened.
thread_local int64_t tOpenedAfter = 0;
// This thread's commits leave the write-ahead log to another's checkpoints.
thread_local bool tNoAutoCheckpoint = false;

QString ThreadConnectionName() {
    return "hall-" + QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()));
}

// This thread's statements for every submission, prepared once and run again with new
// values: preparing costs SQLite a compile, and PostgreSQL a PREPARE and a DEALLOCATE, each
// a round trip, on every run.
struct PreparedStatements {
    int64_t opening = -1;
    std::map<QString, QSqlQuery> queries;
};
thread_local PreparedStatements tPrepared;

const char kRowColumns[] = "id, name, score, winscore, stars, frames, created";

ScoreRow ReadRow(const QSqlQuery& q) {
    return {q.value(0).toLongLong(),
            0,
            q.value(1).toString().toStdString(),
            q.value(2).toInt(),
            q.value(3).toInt(),
            q.value(4).toInt(),
            q.value(5).toLongLong(),
            q.value(6).toString().toStdString()};
}

}  // namespace

std::string ReadPasswordFile(const std::string& path, std::string& why) {
    if (path.empty()) return "";
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) {
        why = "cannot read the password file " + path;
        return "";
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

Store::Store(std::string database, std::string password)
    : database_(std::move(database)),
      password_(std::move(password)),
      postgres_(IsPostgresUrl(database_)) {}

bool Store::Configure(QSqlDatabase& db, std::string& why) const {
    if (!postgres_) {
        db.setDatabaseName(Q(database_));
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=20000");
        return true;
    }
    const std::optional<PostgresTarget> target = ParsePostgresUrl(database_, why);
    if (!target) return false;
    // A host that is a folder is the server's socket there, as libpq takes it.
    db.setHostName(Q(target->host));
    db.setPort(target->port);
    db.setUserName(Q(target->user));
    // Without one here, libpq takes PGPASSWORD or ~/.pgpass.
    db.setPassword(Q(target->password.empty() ? password_ : target->password));
    db.setDatabaseName(Q(target->database));
    // A server that vanished (a failover, a cut cable) is given up on in seconds, not in
    // TCP's quarter of an hour: connecting, an idle connection, a statement's answer.
    db.setConnectOptions(
        "connect_timeout=5;keepalives_idle=30;keepalives_interval=5;keepalives_count=3;"
        "tcp_user_timeout=20000");
    return true;
}

QSqlDatabase Store::Connection() {
    const QString name = ThreadConnectionName();
    if (QSqlDatabase::contains(name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (db.isOpen() && tOpenedAfter == outages_) return db;
            // libpq found it closed (the server said goodbye to a listening connection):
            // the database went, though no statement has failed yet.
            if (!db.isOpen() && tOpenedAfter == outages_) Went("the connection was closed");
        }
        // Its driver goes with it, so the statements prepared on it are let go without a
        // word to a server that is no longer there.
        QSqlDatabase::removeDatabase(name);
        tPrepared.queries.clear();
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(postgres_ ? "QPSQL" : "QSQLITE", name);
    std::string why;
    if (!Configure(db, why)) throw StoreError(why);
    tOpenedAfter = outages_;
    if (!db.open()) {
        why = "cannot open the database: " + db.lastError().text().toStdString();
        Went(why);
        throw StoreError(why);
    }
    ++tOpenings;
    Back();
    if (!postgres_) {
        // Readers never wait for the writer. A commit survives the process being killed
        // (the write-ahead log is in the operating system's hands); only a power cut may
        // take the last moments back, which spares a disk flush per score.
        QSqlQuery q(db);
        Exec(q, "PRAGMA journal_mode=WAL", {});
        Exec(q, "PRAGMA synchronous=NORMAL", {});
        if (tNoAutoCheckpoint) Exec(q, "PRAGMA wal_autocheckpoint=0", {});
    }
    return db;
}

void Store::LeaveCheckpointsToOthers() {
    if (postgres_) return;
    tNoAutoCheckpoint = true;
    QSqlQuery q(Connection());
    Exec(q, "PRAGMA wal_autocheckpoint=0", {});
}

void Store::Checkpoint() {
    if (postgres_) return;
    QSqlQuery q(Connection());
    Exec(q, "PRAGMA wal_checkpoint(PASSIVE)", {});
    q.finish();
}

bool Store::Listen(const char* channel, QPointer<QSqlDriver>& on,
                   std::function<void(const QString&)> notified) {
    QSqlDriver* driver = Connection().driver();
    if (driver == on) return false;
    if (!driver->subscribeToNotification(channel)) {
        throw StoreError(std::string("cannot listen on ") + channel + ": " +
                         driver->lastError().text().toStdString());
    }
    QObject::connect(driver, &QSqlDriver::notification, driver,
                     [notified = std::move(notified)](const QString&,
                                                      QSqlDriver::NotificationSource,
                                                      const QVariant& payload) {
                         notified(payload.toString());
                     });
    on = driver;
    return true;
}

void Store::Failed(const StoreError& e) {
    const QString name = ThreadConnectionName();
    bool lost = false;
    if (postgres_ && QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        QSqlQuery probe(db);
        // Not open: libpq found it closed, or it failed to open (which Connection() said).
        lost = !db.isOpen() || !probe.exec("SELECT 1");
    }
    if (!lost) {
        std::fprintf(stderr, "korvane-hall: %s\n", e.what());
        return;
    }
    if (tOpenedAfter == outages_) Went(e.what());
    // Whatever the outage, this connection is done with.
    QSqlDatabase::removeDatabase(name);
    tPrepared.queries.clear();
}

void Store::Went(const std::string& why) {
    if (!postgres_) return;  // a file does not come and go
    const std::lock_guard<std::mutex> hold(outageLock_);
    if (away_) return;
    away_ = true;
    ++outages_;
    const std::string first = why.substr(0, why.find('\n'));
    std::fprintf(stderr,
                 "korvane-hall: the database went away (%s): what needs it answers 503 until it "
                 "is back\n",
                 first.c_str());
}

void Store::Back() {
    const std::lock_guard<std::mutex> hold(outageLock_);
    if (!away_) return;
    away_ = false;
    std::fprintf(stderr, "korvane-hall: the database is back\n");
}

QSqlQuery& Store::RunPrepared(const QString& sql, const QVariantList& values) {
    QSqlDatabase db = Connection();
    if (tPrepared.opening != tOpenings) {
        tPrepared.queries.clear();
        tPrepared.opening = tOpenings;
    }
    auto found = tPrepared.queries.find(sql);
    if (found == tPrepared.queries.end()) {
        QSqlQuery q(db);
        if (!q.prepare(sql)) throw StoreError(q.lastError().text().toStdString());
        found = tPrepared.queries.emplace(sql, std::move(q)).first;
    }
    QSqlQuery& q = found->second;
    for (int i = 0; i < static_cast<int>(values.size()); ++i) q.bindValue(i, values[i]);
    if (!q.exec()) {
        const std::string why = q.lastError().text().toStdString();
        tPrepared.queries.erase(found);  // prepared again next time, in case it went stale
        throw StoreError(why);
    }
    return q;
}

bool Store::Open(std::string& why) {
    if (!QSqlDatabase::isDriverAvailable(postgres_ ? "QPSQL" : "QSQLITE")) {
        why = std::string("Qt's ") + (postgres_ ? "PostgreSQL" : "SQLite") +
              " driver is missing (libqt6sql6-" + (postgres_ ? "psql" : "sqlite") + ")";
        return false;
    }
    try {
        QSqlDatabase db = Connection();
        return MigrateSchema(db, postgres_, why);
    } catch (const StoreError& e) {
        why = e.what();
        return false;
    }
}

std::optional<Ticket> Store::CreateTicket(const std::string& address, int64_t now,
                                          int64_t lifetimeSeconds, int64_t maxOpen) {
    Ticket t{RandomHexId(), RandomSeed(), now + lifetimeSeconds, false};
    QSqlQuery q(Connection());
    // Counted and added in one statement, so that an address's racing requests cannot all
    // pass the count first.
    Exec(
        q,
        "INSERT INTO tickets (id, seed, expires, used, address) SELECT ?, ?, ?, 0, ?"
        " WHERE (SELECT COUNT(*) FROM tickets WHERE address = ? AND used = 0 AND expires > ?)"
        " < ?",
        {Q(t.id), Long(t.seed), Long(t.expires), Q(address), Q(address), Long(now), Long(maxOpen)});
    if (q.numRowsAffected() != 1) return std::nullopt;
    return t;
}

std::optional<Ticket> Store::FindTicket(const std::string& id) {
    QSqlQuery& q = RunPrepared("SELECT seed, expires, used FROM tickets WHERE id = ?", {Q(id)});
    std::optional<Ticket> t;
    if (q.next()) {
        t = Ticket{id, q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt() != 0};
    }
    q.finish();  // a statement left open would hold SQLite's snapshot of the table
    return t;
}

bool Store::SpendTicket(const std::string& id, int64_t now) {
    QSqlQuery& q =
        RunPrepared("UPDATE tickets SET used = 1 WHERE id = ? AND used = 0 AND expires > ?",
                    {Q(id), Long(now)});
    const bool spent = q.numRowsAffected() == 1;
    q.finish();
    return spent;
}

std::optional<ScoreRow> Store::StoreScore(const NewScore& s, int64_t now,
                                          const std::string& payload, bool& claimed) {
    ScoreRow row{0, 0, s.name, s.score, s.winscore, s.stars, s.frames, IsoTime(now)};
    const QVariantList values = {Q(s.name),      s.score,      s.winscore,  s.stars,
                                 Long(s.frames), Q(row.date),  Q(s.ticket), Q(s.recording),
                                 Q(s.player)};
    // The player's key checked (or the player claimed) and the score added in one
    // transaction: a player is never claimed by a score that was not stored, nor a score
    // stored under a player its sender does not hold. On PostgreSQL the other halls hear of
    // the score when it commits, and only then.
    QSqlDatabase db = Connection();
    if (!db.transaction()) throw StoreError(db.lastError().text().toStdString());
    try {
        const PlayerClaim claim = ClaimPlayer(*this, s.player, s.keyHash, now);
        if (claim == PlayerClaim::Taken) {
            db.rollback();
            return std::nullopt;
        }
        claimed = claim == PlayerClaim::Claimed;
        const QString insert =
            "INSERT INTO scores"
            " (name, score, winscore, stars, frames, created, ticket, recording, player)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id";
        QSqlQuery& q = postgres_
                           ? RunPrepared("WITH added AS (" + insert +
                                             ") SELECT id, pg_notify(?, CAST(? AS text) || ' ' ||"
                                             " CAST(id AS text)) FROM added",
                                         values + QVariantList{QString(kTableChannel), Q(payload)})
                           : RunPrepared(insert, values);
        const bool added = q.next();
        if (added) row.id = q.value(0).toLongLong();
        q.finish();
        if (!added) throw StoreError("the new score has no id");
        if (s.held) ForgetHeldGame(*this, s.ticket);
        if (!db.commit()) throw StoreError(db.lastError().text().toStdString());
        return row;
    } catch (const StoreError&) {
        db.rollback();
        throw;
    }
}

void Store::DeleteOldTickets(int64_t now) {
    // Tickets a day past their time answer nothing any more: "unknown" says as much.
    QSqlQuery q(Connection());
    Exec(q, "DELETE FROM tickets WHERE expires < ?", {Long(now - 86400)});
}

int64_t Store::OpenTickets(int64_t now) {
    QSqlQuery q(Connection());
    Exec(q, "SELECT COUNT(*) FROM tickets WHERE used = 0 AND expires > ?", {Long(now)});
    return q.next() ? q.value(0).toLongLong() : 0;
}

std::optional<ScoreRow> Store::Row(int64_t id) {
    QSqlQuery q(Connection());
    Exec(q, "SELECT " + QString(kRowColumns) + " FROM scores WHERE id = ? AND hidden = 0",
         {Long(id)});
    if (!q.next()) return std::nullopt;
    return ReadRow(q);
}

int64_t Store::VisibleScores(int64_t& maxId) {
    QSqlQuery q(Connection());
    Exec(q, "SELECT COALESCE(MAX(id), 0) FROM scores", {});
    maxId = q.next() ? q.value(0).toLongLong() : 0;
    Exec(q, "SELECT COUNT(*) FROM scores WHERE hidden = 0 AND id <= ?", {Long(maxId)});
    return q.next() ? q.value(0).toLongLong() : 0;
}

std::optional<StoredRecording> Store::Recording(int64_t id) {
    QSqlQuery q(Connection());
    Exec(q, "SELECT hidden, recording FROM scores WHERE id = ?", {Long(id)});
    if (!q.next()) return std::nullopt;
    return StoredRecording{q.value(0).toInt() != 0, q.value(1).toString().toStdString()};
}

bool Store::SetHidden(int64_t id, bool hidden, const std::string& reason) {
    QSqlDatabase db = Connection();
    if (!db.transaction()) throw StoreError(db.lastError().text().toStdString());
    try {
        QSqlQuery q(db);
        Exec(q, "UPDATE scores SET hidden = ?, hidden_reason = ? WHERE id = ?",
             {hidden ? 1 : 0, Q(reason), Long(id)});
        if (q.numRowsAffected() != 1) {
            db.rollback();
            return false;
        }
        Exec(q, "UPDATE table_generation SET generation = generation + 1", {});
        if (postgres_) Exec(q, "SELECT pg_notify(?, 'reload')", {QString(kTableChannel)});
        q.finish();
        if (!db.commit()) throw StoreError(db.lastError().text().toStdString());
        return true;
    } catch (const StoreError&) {
        db.rollback();
        throw;
    }
}

int64_t Store::Generation() {
    QSqlQuery q(Connection());
    Exec(q, "SELECT generation FROM table_generation", {});
    return q.next() ? q.value(0).toLongLong() : 0;
}

}  // namespace korvane::hall
