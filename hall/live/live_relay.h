#pragma once
// Passes the live games' batches on to their watchers. Each game watched here has a feed:
// its server-sent events so far, one text that every watcher reads at its own position, so
// a watcher costs a connection and an offset, never a thread or a copy. A game played on
// this hall feeds its watchers as its replay runs each batch; a game played on another hall
// sharing the PostgreSQL database is read from the database as its NOTIFY comes. The
// relay's own thread, with its own connection, writes this hall's batches and ends (in
// order: a game marked ended has all its batches written) and answers their requests
// once they are committed.

#include <QObject>
#include <QPointer>
#include <QSqlDriver>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "http/http_server.h"
#include "live_game.h"
#include "live_store.h"
#include "store/store.h"

namespace korvane::hall {

class LiveFeed;

// What became of a write: committed, lost with a database that failed, or left out because
// another hall has taken the game over since.
enum class LiveWritten { kStored, kFailed, kTaken };

class LiveRelay : public QThread {
  public:
    // The watchers in all are the HTTP server's to bound; those of one game are here.
    LiveRelay(Store& store, std::string instance, int watchersPerGame);
    ~LiveRelay() override;

    // A batch this hall's replay has run (the game held with fence): to the watchers now,
    // to the database next; done is told once it is committed (or why not).
    void Publish(const std::string& id, int64_t fence, int64_t seq, const std::string& lines,
                 const LiveProgress& progress, std::function<void(LiveWritten)> done);
    // This hall's game ended.
    void End(const std::string& id, int64_t fence, const LiveEnd& end,
             std::function<void(LiveWritten)> done);
    // A watcher's stream of the game (whose row the caller found) from the batch after
    // `after` (a reconnecting watcher's Last-Event-ID), or nothing when the game's watchers
    // are at their limit.
    std::shared_ptr<HttpStream> Watch(const std::string& id, std::optional<int64_t> after);
    // A game this hall has taken over: its feed holds what the database had of it.
    void Restored(const std::string& id,
                  const std::vector<std::pair<int64_t, std::string>>& batches);
    // Runs job on the relay's thread in `seconds`.
    void Later(double seconds, std::function<void()> job);
    int Watchers() const { return watching_; }
    // Called once a second on the relay's thread.
    void OnTick(std::function<void()> tick) { tick_ = std::move(tick); }

  protected:
    void run() override;

  private:
    friend class FeedReader;
    std::shared_ptr<LiveFeed> FeedOf(const std::string& id, bool local);
    // On the relay's thread: what the database has of a game played elsewhere.
    void CatchUp(const std::string& id);
    void Notified(const QString& payload);
    void Tick();
    void Post(std::function<void()> job);
    // A write for the relay's thread, done told once it is committed.
    void Queue(LiveWrite write, std::function<void(LiveWritten)> done);
    // On the relay's thread: every write queued so far, in one transaction.
    void Flush();
    // On a thread of its own, on SQLite: the relay's commits copied from the write-ahead log
    // into the database twice a second, until the relay stops.
    void CopyLog();

    Store& store_;
    std::string instance_;
    int watchersPerGame_;
    std::atomic<int> watching_{0};
    std::mutex lock_;
    std::map<std::string, std::shared_ptr<LiveFeed>> feeds_;
    std::mutex writesLock_;
    struct QueuedWrite {
        LiveWrite write;
        std::function<void(LiveWritten)> done;
        double since = 0;  // first tried
    };
    std::vector<QueuedWrite> writes_;
    QObject context_;  // lives on the relay's thread: the jobs run there
    std::function<void()> tick_;
    QPointer<QSqlDriver> listening_;  // the connection LISTEN was taken on
    std::mutex copyLock_;
    std::condition_variable copyWake_;
    bool stopping_ = false;
    std::thread copier_;
};

}  // namespace korvane::hall
