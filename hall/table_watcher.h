#pragma once
// Keeps the table in memory as the database has it when a change comes from elsewhere:
// another hall's score (PostgreSQL's NOTIFY, with the new score's id), an operator's hide
// or unhide (a generation every hall polls each second, and a NOTIFY on PostgreSQL). That
// read each second is also what finds that the database went away: the hall's connections
// are then replaced, and the watcher listens again on its new one and reloads the table.
// It also sweeps, at start and once a minute, tickets long expired and what live play keeps
// past its time. It runs on a thread of its own, with its own connection, so that a read
// never waits for it.

#include <QPointer>
#include <QSqlDriver>
#include <QThread>
#include <string>

#include "store/score_table.h"
#include "store/store.h"

namespace korvane::hall {

class TableWatcher : public QThread {
  public:
    // keepSeconds: how long a live game's address and a game refused keep (--keep-days).
    TableWatcher(Store& store, ScoreTable& table, std::string instance, int64_t keepSeconds);

    // The table loaded anew from the database, on the calling thread's connection.
    static void Reload(Store& store, ScoreTable& table);

  protected:
    void run() override;

  private:
    void Tick();
    void Listen();
    void Notified(const QString& payload);

    Store& store_;
    ScoreTable& table_;
    std::string instance_;
    int64_t keepSeconds_;
    int64_t generation_ = -1;
    int64_t lastSweep_ = 0;
    QPointer<QSqlDriver> listening_;  // the connection LISTEN was taken on
};

}  // namespace korvane::hall
