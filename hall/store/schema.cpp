#include "schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <vector>

#include "player_key.h"

namespace korvane::hall {

namespace {

// The statements that take the schema from version N - 1 to N, for each N from 1.
std::vector<std::vector<QString>> Steps(bool postgres) {
    const QString autoId = postgres ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY AUTOINCREMENT";
    return {
        {
            "CREATE TABLE tickets (id TEXT PRIMARY KEY, seed BIGINT NOT NULL,"
            " expires BIGINT NOT NULL, used INTEGER NOT NULL DEFAULT 0)",
            "CREATE INDEX tickets_by_expiry ON tickets (expires)",
            "CREATE TABLE scores (id " + autoId +
                ", name TEXT NOT NULL, score INTEGER NOT NULL,"
                " winscore INTEGER NOT NULL, stars INTEGER NOT NULL, frames BIGINT NOT NULL,"
                " created TEXT NOT NULL, ticket TEXT NOT NULL UNIQUE, recording TEXT NOT NULL)",
            "CREATE INDEX scores_by_score ON scores (score DESC, id)",
        },
        {
            // Open tickets are counted per address; an operator hides an entry with a
            // reason; the table is ranked over the visible scores; a change made from
            // outside a hall (hide, unhide) bumps the generation its halls watch.
            "ALTER TABLE tickets ADD COLUMN address TEXT NOT NULL DEFAULT ''",
            "CREATE INDEX tickets_by_address ON tickets (address, used, expires)",
            "ALTER TABLE scores ADD COLUMN hidden INTEGER NOT NULL DEFAULT 0",
            "ALTER TABLE scores ADD COLUMN hidden_reason TEXT NOT NULL DEFAULT ''",
            "DROP INDEX scores_by_score",
            "CREATE INDEX scores_ranked ON scores (hidden, score DESC, id)",
            "CREATE TABLE table_generation (generation BIGINT NOT NULL)",
            "INSERT INTO table_generation (generation) VALUES (0)",
        },
        {
            // Games played live: one per ticket, and their batches as they came, which
            // every hall sharing the database passes on to its watchers.
            "CREATE TABLE live_games (id TEXT PRIMARY KEY, ticket TEXT NOT NULL UNIQUE,"
            " seed BIGINT NOT NULL, address TEXT NOT NULL, name TEXT NOT NULL DEFAULT '',"
            " started BIGINT NOT NULL, state TEXT NOT NULL DEFAULT 'playing',"
            " score INTEGER NOT NULL DEFAULT 0, stars INTEGER NOT NULL DEFAULT 0,"
            " frame BIGINT NOT NULL DEFAULT 0, error TEXT NOT NULL DEFAULT '')",
            "CREATE INDEX live_games_by_state ON live_games (state, started)",
            "CREATE TABLE live_batches (live TEXT NOT NULL, seq INTEGER NOT NULL,"
            " lines TEXT NOT NULL, PRIMARY KEY (live, seq))",
        },
        {
            // A live game is played by the hall that holds its lease (its process, and the
            // name it is reached by), renewed while it plays; any hall of the database takes
            // the game over once the lease has run out, with the next fence, which keeps the
            // hall it was taken from from writing again. When its last batch came (ms since
            // 1970) and the pauses so far, their time, carry its pace over to the hall that takes it.
            "ALTER TABLE live_games ADD COLUMN owner TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE live_games ADD COLUMN hall TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE live_games ADD COLUMN lease BIGINT NOT NULL DEFAULT 0",
            "ALTER TABLE live_games ADD COLUMN fence BIGINT NOT NULL DEFAULT 0",
            "ALTER TABLE live_games ADD COLUMN arrived BIGINT NOT NULL DEFAULT 0",
            "ALTER TABLE live_games ADD COLUMN paused BIGINT NOT NULL DEFAULT 0",
            "ALTER TABLE live_games ADD COLUMN pauses INTEGER NOT NULL DEFAULT 0",
        },
        {
            // The live games the sweep has yet to take the address from, by their age.
            "CREATE INDEX live_games_addressed ON live_games (started) WHERE address <> ''",
        },
        {
            // Players: each score is a player's (the name as people read it, names/
            // player_key.h), filled in below for the scores stored before; a player's
            // name is held by the hash of its key; a game refused because its name is
            // someone else's waits an hour to be sent again. The tables are ranked by
            // band of stars.
            "ALTER TABLE scores ADD COLUMN player TEXT NOT NULL DEFAULT ''",
            "CREATE INDEX scores_by_player ON scores (player, id)",
            "CREATE INDEX scores_by_stars ON scores (hidden, stars, score DESC, id)",
            "CREATE TABLE players (player TEXT PRIMARY KEY, key_hash TEXT NOT NULL,"
            " claimed BIGINT NOT NULL)",
            "CREATE TABLE held_games (ticket TEXT PRIMARY KEY, score INTEGER NOT NULL,"
            " winscore INTEGER NOT NULL, stars INTEGER NOT NULL, frames BIGINT NOT NULL,"
            " recording TEXT NOT NULL, expires BIGINT NOT NULL)",
        },
    };
}

bool Exec(QSqlQuery& q, const QString& sql, std::string& why) {
    if (q.exec(sql)) return true;
    why = q.lastError().text().toStdString() + " in: " + sql.toStdString();
    return false;
}

// The player of every score stored before scores had one: SQL knows no confusable skeleton.
bool FillPlayers(QSqlDatabase& db, std::string& why) {
    QSqlQuery names(db), update(db);
    if (!Exec(names, "SELECT DISTINCT name FROM scores WHERE player = ''", why)) return false;
    update.prepare("UPDATE scores SET player = ? WHERE name = ? AND player = ''");
    while (names.next()) {
        const QString name = names.value(0).toString();
        update.addBindValue(QString::fromStdString(names::PlayerKey(name.toStdString())));
        update.addBindValue(name);
        if (!update.exec()) {
            why = update.lastError().text().toStdString();
            return false;
        }
    }
    return true;
}

}  // namespace

bool MigrateSchema(QSqlDatabase& db, bool postgres, std::string& why) {
    QSqlQuery q(db);
    if (!db.transaction()) {
        why = db.lastError().text().toStdString();
        return false;
    }
    // Several servers may start at once on one PostgreSQL: one migrates, the others wait
    // for it (the lock ends with the transaction).
    if (postgres && !Exec(q, "SELECT pg_advisory_xact_lock(8643)", why))
        return db.rollback(), false;
    if (!Exec(q, "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)", why) ||
        !Exec(q, "SELECT version FROM schema_version", why)) {
        db.rollback();
        return false;
    }
    int version = 0;
    const bool hasRow = q.next();
    if (hasRow) version = q.value(0).toInt();
    if (version > kSchemaVersion) {
        why = "the database's schema is version " + std::to_string(version) +
              ", newer than this server's " + std::to_string(kSchemaVersion);
        db.rollback();
        return false;
    }
    const std::vector<std::vector<QString>> steps = Steps(postgres);
    for (int v = version + 1; v <= kSchemaVersion; ++v) {
        for (const QString& sql : steps[v - 1]) {
            if (!Exec(q, sql, why)) return db.rollback(), false;
        }
        if (v == 6 && !FillPlayers(db, why)) return db.rollback(), false;
    }
    q.prepare(hasRow ? "UPDATE schema_version SET version = ?"
                     : "INSERT INTO schema_version (version) VALUES (?)");
    q.addBindValue(kSchemaVersion);
    if (!q.exec() || !db.commit()) {
        why = q.lastError().text().toStdString();
        db.rollback();
        return false;
    }
    return true;
}

}  // namespace korvane::hall
