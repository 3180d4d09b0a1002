#pragma once
// Keeps the table in memory as the database has it when a change comes from elsewhere:
// another hall's score (PostgreSQL's NOTIFY, with the new score's id), an operator's hide
// or unhide (a generation every hall polls each second, and a NOTIFY on PostgreSQL). It
// also clears out tickets long expired. It runs on a thread of its own, with its own
// connection, so that a read never waits for it.

#include <QThread>
#include <string>

#include "score_table.h"
#include "store.h"

namespace korvane::hall {

class TableWatcher : public QThread {
  public:
    TableWatcher(Store& store, ScoreTable& table, std::string instance);

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
    int64_t generation_ = -1;
    int64_t lastSweep_ = 0;
    bool listening_ = false;
    bool connected_ = false;
};

}  // namespace korvane::hall
