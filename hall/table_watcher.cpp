#include "table_watcher.h"

#include <QTimer>
#include <QVariant>
#include <ctime>

#include "live/live_store.h"
#include "store/player_store.h"

namespace korvane::hall {

TableWatcher::TableWatcher(Store& store, ScoreTable& table, std::string instance,
                           int64_t keepSeconds)
    : store_(store), table_(table), instance_(std::move(instance)), keepSeconds_(keepSeconds) {}

void TableWatcher::Reload(Store& store, ScoreTable& table) {
    int64_t maxId = 0;
    const int64_t total = store.VisibleScores(maxId);
    table.Load(total, maxId);
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
        if (store_.postgres()) Listen();
        const int64_t generation = store_.Generation();
        if (generation != generation_) {
            if (generation_ >= 0) Reload(store_, table_);
            generation_ = generation;
        }
        const int64_t now = static_cast<int64_t>(std::time(nullptr));
        if (now - lastSweep_ >= 60) {
            store_.DeleteOldTickets(now);
            SweepLiveGames(store_, now, keepSeconds_);
            ForgetExpiredHeldGames(store_, now);
            lastSweep_ = now;
        }
    } catch (const StoreError& e) {
        // The database is away: the table stays as it was, and the next second tries again.
        store_.Failed(e);
    }
}

void TableWatcher::Listen() {
    // Whatever was missed while nobody listened.
    if (store_.Listen(kTableChannel, listening_, [this](const QString& p) { Notified(p); }))
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
        store_.Failed(e);
    }
}

}  // namespace korvane::hall
