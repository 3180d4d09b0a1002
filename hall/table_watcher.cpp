#include "table_watcher.h"

#include <QSqlDriver>
#include <QTimer>
#include <QVariant>
#include <cstdio>
#include <ctime>

namespace korvane::hall {

TableWatcher::TableWatcher(Store& store, ScoreTable& table, std::string instance)
    : store_(store), table_(table), instance_(std::move(instance)) {}

void TableWatcher::Reload(Store& store, ScoreTable& table) {
    int64_t maxId = 0;
    std::map<int32_t, int64_t> counts = store.ScoreCounts(maxId);
    table.Load(store.RowsFrom(std::nullopt, 0, int(ScoreTable::kCachedRows)), std::move(counts),
               maxId);
}

void TableWatcher::run() {
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [this] { Tick(); });
    timer.start(1000);
    Tick();
    exec();
}

void TableWatcher::Tick() {
    try {
        if (store_.postgres() && !listening_) Listen();
        const int64_t generation = store_.Generation();
        if (generation != generation_) {
            if (generation_ >= 0) Reload(store_, table_);
            generation_ = generation;
        }
        const int64_t now = static_cast<int64_t>(std::time(nullptr));
        if (now - lastSweep_ >= 60) {
            store_.DeleteOldTickets(now);
            lastSweep_ = now;
        }
    } catch (const StoreError& e) {
        // The database is away: the table stays as it was, and the next second tries again.
        std::fprintf(stderr, "korvane-hall: %s\n", e.what());
        listening_ = false;
    }
}

void TableWatcher::Listen() {
    QSqlDatabase db = store_.Connection();
    QSqlDriver* driver = db.driver();
    if (!connected_) {
        QObject::connect(driver, &QSqlDriver::notification, driver,
                         [this](const QString&, QSqlDriver::NotificationSource,
                                const QVariant& payload) { Notified(payload.toString()); });
        connected_ = true;
    }
    if (!driver->subscribeToNotification(kTableChannel)) {
        throw StoreError("cannot listen for the other halls' scores");
    }
    listening_ = true;
    // Whatever was missed while nobody listened.
    Reload(store_, table_);
}

void TableWatcher::Notified(const QString& payload) {
    try {
        const QStringList words = payload.split(' ');
        if (words.size() == 2 && words[0].toStdString() == instance_) return;  // our own
        bool ok = false;
        const int64_t id = words.size() == 2 ? words[1].toLongLong(&ok) : 0;
        if (!ok) return Reload(store_, table_);
        if (const std::optional<ScoreRow> row = store_.Row(id)) table_.Add(*row);
    } catch (const StoreError& e) {
        std::fprintf(stderr, "korvane-hall: %s\n", e.what());
    }
}

}  // namespace korvane::hall
