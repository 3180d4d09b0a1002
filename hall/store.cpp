#include "store.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QVariant>
#include <random>

#include "schema.h"

namespace korvane::hall {

namespace {

std::string RandomTicketId() {
    std::random_device device;
    static const char kHex[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 4; ++i) {
        uint32_t bits = device();
        for (int j = 0; j < 8; ++j, bits >>= 4) id += kHex[bits & 15];
    }
    return id;
}

// A seed a browser's JavaScript number holds exactly (below 2^53).
int64_t RandomSeed() {
    std::random_device device;
    const uint64_t bits = (static_cast<uint64_t>(device()) << 32) | device();
    return static_cast<int64_t>(bits >> 11);
}

std::string IsoTime(int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate).toStdString();
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Runs a prepared statement with its values bound in order, or throws.
void Exec(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    if (!q.prepare(sql)) throw StoreError(q.lastError().text().toStdString());
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) throw StoreError(q.lastError().text().toStdString());
}

}  // namespace

Store::Store(std::string database)
    : database_(std::move(database)),
      postgres_(database_.rfind("postgresql://", 0) == 0 ||
                database_.rfind("postgres://", 0) == 0) {}

bool Store::Configure(QSqlDatabase& db, std::string& why) const {
    if (!postgres_) {
        db.setDatabaseName(Q(database_));
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=20000");
        return true;
    }
    const QUrl url(Q(database_), QUrl::StrictMode);
    const QString name = url.path().mid(1);
    if (!url.isValid() || url.host().isEmpty() || name.isEmpty() || url.userName().isEmpty()) {
        why = "expected postgresql://USER@HOST[:PORT]/DB, got " + database_;
        return false;
    }
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setUserName(url.userName());
    db.setPassword(url.password());
    db.setDatabaseName(name);
    return true;
}

QSqlDatabase Store::Connection() {
    const QString name =
        "hall-" + QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()));
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name);
        if (db.isOpen()) return db;
    }
    QSqlDatabase db = QSqlDatabase::contains(name)
                          ? QSqlDatabase::database(name, false)
                          : QSqlDatabase::addDatabase(postgres_ ? "QPSQL" : "QSQLITE", name);
    std::string why;
    if (!Configure(db, why)) throw StoreError(why);
    if (!db.open())
        throw StoreError("cannot open the database: " + db.lastError().text().toStdString());
    if (!postgres_) {
        // Readers never wait for the writer, and a commit survives the process being killed.
        QSqlQuery q(db);
        Exec(q, "PRAGMA journal_mode=WAL", {});
    }
    return db;
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

Ticket Store::CreateTicket(int64_t now, int64_t lifetimeSeconds) {
    Ticket t{RandomTicketId(), RandomSeed(), now + lifetimeSeconds, false};
    QSqlQuery q(Connection());
    Exec(q, "INSERT INTO tickets (id, seed, expires, used) VALUES (?, ?, ?, 0)",
         {Q(t.id), QVariant::fromValue<qlonglong>(t.seed),
          QVariant::fromValue<qlonglong>(t.expires)});
    // Tickets a day past their time answer nothing any more: "unknown" says as much.
    Exec(q, "DELETE FROM tickets WHERE expires < ?", {QVariant::fromValue<qlonglong>(now - 86400)});
    return t;
}

std::optional<Ticket> Store::FindTicket(const std::string& id) {
    QSqlQuery q(Connection());
    Exec(q, "SELECT seed, expires, used FROM tickets WHERE id = ?", {Q(id)});
    if (!q.next()) return std::nullopt;
    return Ticket{id, q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt() != 0};
}

std::optional<Stored> Store::StoreScore(const NewScore& s, int64_t now) {
    QSqlDatabase db = Connection();
    if (!db.transaction()) throw StoreError(db.lastError().text().toStdString());
    try {
        QSqlQuery q(db);
        Exec(q, "UPDATE tickets SET used = 1 WHERE id = ? AND used = 0 AND expires > ?",
             {Q(s.ticket), QVariant::fromValue<qlonglong>(now)});
        if (q.numRowsAffected() != 1) {
            db.rollback();
            return std::nullopt;
        }
        Exec(q,
             "INSERT INTO scores (name, score, winscore, stars, frames, created, ticket, recording)"
             " VALUES (?, ?, ?, ?, ?, ?, ?, ?) RETURNING id",
             {Q(s.name), s.score, s.winscore, s.stars, QVariant::fromValue<qlonglong>(s.frames),
              Q(IsoTime(now)), Q(s.ticket), Q(s.recording)});
        if (!q.next()) throw StoreError("the new score has no id");
        Stored stored{q.value(0).toLongLong(), 0};
        Exec(q, "SELECT COUNT(*) FROM scores WHERE score > ?", {s.score});
        if (!q.next()) throw StoreError("cannot count the better scores");
        stored.rank = q.value(0).toLongLong() + 1;
        q.finish();
        if (!db.commit()) throw StoreError(db.lastError().text().toStdString());
        return stored;
    } catch (const StoreError&) {
        db.rollback();
        throw;
    }
}

std::vector<ScoreRow> Store::TopScores(int limit, int offset) {
    QSqlQuery q(Connection());
    Exec(q,
         "SELECT id, RANK() OVER (ORDER BY score DESC), name, score, winscore, stars, frames, "
         "created"
         " FROM scores ORDER BY score DESC, id ASC LIMIT ? OFFSET ?",
         {limit, offset});
    std::vector<ScoreRow> rows;
    while (q.next()) {
        rows.push_back({q.value(0).toLongLong(), q.value(1).toLongLong(),
                        q.value(2).toString().toStdString(), q.value(3).toInt(), q.value(4).toInt(),
                        q.value(5).toInt(), q.value(6).toLongLong(),
                        q.value(7).toString().toStdString()});
    }
    return rows;
}

std::optional<std::string> Store::Recording(int64_t id) {
    QSqlQuery q(Connection());
    Exec(q, "SELECT recording FROM scores WHERE id = ?", {QVariant::fromValue<qlonglong>(id)});
    if (!q.next()) return std::nullopt;
    return q.value(0).toString().toStdString();
}

}  // namespace korvane::hall
