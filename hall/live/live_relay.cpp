#include "live_relay.h"

#include <QSqlDriver>
#include <QTimer>
#include <QVariant>
#include <cstdio>
#include <cstring>

#include "live_store.h"

namespace korvane::hall {

namespace {

// A feed nobody watches is kept this long after its game's last news, for a late watcher.
constexpr double kFeedKeptSeconds = 60;
constexpr double kKeepAliveSeconds = 15;
// How long a batch's write waits for a database that went away: about as long as a client
// sends a batch again.
constexpr double kWriteRetrySeconds = 10;

// One batch as one event: its number as the event's id, each of its lines a data line.
std::string BatchEvent(int64_t seq, const std::string& lines) {
    std::string event = "id: " + std::to_string(seq) + "\n";
    size_t at = 0;
    while (at < lines.size()) {
        const size_t end = std::min(lines.find('\n', at), lines.size());
        std::string line = lines.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        event += "data: " + line + "\n";
        at = end + 1;
    }
    return event + "\n";
}

std::string EndEvent(const LiveEnd& end) {
    return "event: end\ndata: " +
           (end.score ? "{\"score\":" + std::to_string(*end.score) + "}"
                      : "{\"error\":\"" + end.refusal.code + "\"}") +
           "\n\n";
}

}  // namespace

// A game's events so far, and its watchers to wake.
class LiveFeed {
  public:
    explicit LiveFeed(bool local) : local_(local) {}

    // False when the batch was there already (a NOTIFY and a catching up may both bring it).
    bool Add(int64_t seq, const std::string& lines, const std::string& end) {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            if (ended_ || seq != next_) return false;  // there already, or not yet in order
            next_ = seq + 1;
            events_ += BatchEvent(seq, lines);
            starts_.push_back(events_.size());  // where the events after this one begin
            if (!end.empty()) {
                events_ += end;
                ended_ = true;
            }
            news_ = written_ = LiveGame::Now();
        }
        WakeAll();
        return true;
    }
    void End(const std::string& end) {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            if (ended_) return;
            events_ += end;
            ended_ = true;
            news_ = LiveGame::Now();
        }
        WakeAll();
    }
    // A comment line, which an event stream's reader skips, after kKeepAliveSeconds of
    // silence (a dialog holding the game): a proxy between keeps the connection open.
    void KeepAlive(double now) {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            if (ended_ || now - written_ < kKeepAliveSeconds) return;
            events_ += ":\n\n";
            written_ = now;
        }
        WakeAll();
    }
    // Where the events after batch `after` begin, once the feed has them (or has ended).
    std::optional<size_t> After(int64_t after) {
        const std::lock_guard<std::mutex> hold(lock_);
        if (after < -1) after = -1;
        if (after < next_) return starts_[size_t(after + 1)];
        if (ended_) return starts_.back();
        return std::nullopt;
    }
    long Read(uint64_t pos, char* buffer, size_t max) {
        const std::lock_guard<std::mutex> hold(lock_);
        if (pos >= events_.size()) return ended_ ? -1 : 0;
        const size_t n = std::min<size_t>(max, events_.size() - pos);
        std::memcpy(buffer, events_.data() + pos, n);
        return static_cast<long>(n);
    }
    // Registers a watcher, or false at the game's limit.
    bool Join(const std::shared_ptr<HttpStream>& watcher, int limit) {
        const std::lock_guard<std::mutex> hold(lock_);
        std::erase_if(watchers_, [](const auto& w) { return w.expired(); });
        if (int(watchers_.size()) >= limit) return false;
        watchers_.push_back(watcher);
        return true;
    }
    int64_t next() {
        const std::lock_guard<std::mutex> hold(lock_);
        return next_;
    }
    bool ended() {
        const std::lock_guard<std::mutex> hold(lock_);
        return ended_;
    }
    // Nobody watches, and nothing has come for a while.
    bool Stale(double now) {
        const std::lock_guard<std::mutex> hold(lock_);
        std::erase_if(watchers_, [](const auto& w) { return w.expired(); });
        return watchers_.empty() && now - news_ > kFeedKeptSeconds;
    }
    bool watched() {
        const std::lock_guard<std::mutex> hold(lock_);
        std::erase_if(watchers_, [](const auto& w) { return w.expired(); });
        return !watchers_.empty();
    }
    const bool local_;

  private:
    // The watchers are woken outside the feed's lock, which their reads take.
    void WakeAll() {
        std::vector<std::shared_ptr<HttpStream>> awake;
        {
            const std::lock_guard<std::mutex> hold(lock_);
            for (const auto& w : watchers_) {
                if (auto s = w.lock()) awake.push_back(std::move(s));
            }
        }
        for (const auto& s : awake) s->Wake();
    }

    std::mutex lock_;
    std::string events_;
    // Where each batch's event ends: the events after batch N begin at starts_[N + 1]
    // (starts_[0] is 0).
    std::vector<size_t> starts_{0};
    bool ended_ = false;
    int64_t next_ = 0;
    double news_ = LiveGame::Now();
    double written_ = news_;  // the last bytes added
    std::vector<std::weak_ptr<HttpStream>> watchers_;
};

// One watcher's stream: its feed, read at the position the connection has reached.
// A watcher that reconnects with the id of the last event it read goes on after it.
class FeedReader : public HttpStream {
  public:
    FeedReader(std::shared_ptr<LiveFeed> feed, std::atomic<int>& count,
               std::optional<int64_t> after)
        : feed_(std::move(feed)), count_(count), after_(after) {
        if (!after_) from_ = 0;
    }
    ~FeedReader() override { --count_; }
    long Read(uint64_t pos, char* buffer, size_t max) override {
        if (!from_) from_ = feed_->After(*after_);
        return from_ ? feed_->Read(*from_ + pos, buffer, max) : 0;
    }

  private:
    std::shared_ptr<LiveFeed> feed_;
    std::atomic<int>& count_;
    std::optional<int64_t> after_;
    std::optional<size_t> from_;  // the feed's position of this stream's first byte
};

LiveRelay::LiveRelay(Store& store, std::string instance, int watchersPerGame)
    : store_(store), instance_(std::move(instance)), watchersPerGame_(watchersPerGame) {
    context_.moveToThread(this);
    if (!store_.postgres()) copier_ = std::thread([this] { CopyLog(); });
}

LiveRelay::~LiveRelay() {
    quit();
    wait();
    {
        const std::lock_guard<std::mutex> hold(copyLock_);
        stopping_ = true;
    }
    copyWake_.notify_all();
    if (copier_.joinable()) copier_.join();
}

void LiveRelay::CopyLog() {
    std::unique_lock<std::mutex> hold(copyLock_);
    while (!copyWake_.wait_for(hold, std::chrono::milliseconds(500), [this] { return stopping_; })) {
        hold.unlock();
        try {
            store_.Checkpoint();
        } catch (const StoreError& e) {
            store_.Failed(e);
        }
        hold.lock();
    }
}

void LiveRelay::run() {
    try {
        // Under many live games the relay commits hundreds of times a second: copying the
        // log into the database, with its flush to disk, is left to CopyLog.
        store_.LeaveCheckpointsToOthers();
    } catch (const StoreError& e) {
        store_.Failed(e);
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [this] { Tick(); });
    timer.start(1000);
    Tick();
    exec();
}

void LiveRelay::Post(std::function<void()> job) {
    QMetaObject::invokeMethod(&context_, std::move(job), Qt::QueuedConnection);
}

std::shared_ptr<LiveFeed> LiveRelay::FeedOf(const std::string& id, bool local) {
    const std::lock_guard<std::mutex> hold(lock_);
    std::shared_ptr<LiveFeed>& feed = feeds_[id];
    if (!feed) feed = std::make_shared<LiveFeed>(local);
    return feed;
}

void LiveRelay::Publish(const std::string& id, int64_t fence, int64_t seq,
                        const std::string& lines, const LiveProgress& progress,
                        std::function<void(LiveWritten)> done) {
    FeedOf(id, true)->Add(seq, lines, "");
    Queue({id, fence, seq, lines, progress, std::nullopt}, std::move(done));
}

void LiveRelay::End(const std::string& id, int64_t fence, const LiveEnd& end,
                    std::function<void(LiveWritten)> done) {
    // Told to the watchers unless another hall has taken the game over: there it goes on.
    std::shared_ptr<LiveFeed> feed = FeedOf(id, true);
    Queue({id, fence, 0, "", {}, end},
          [feed, event = EndEvent(end), done = std::move(done)](LiveWritten w) {
              if (w != LiveWritten::kTaken) feed->End(event);
              done(w);
          });
}

void LiveRelay::Restored(const std::string& id,
                         const std::vector<std::pair<int64_t, std::string>>& batches) {
    const std::shared_ptr<LiveFeed> feed = FeedOf(id, true);
    for (const auto& [seq, lines] : batches) feed->Add(seq, lines, "");
}

void LiveRelay::Later(double seconds, std::function<void()> job) {
    const int ms = static_cast<int>(seconds * 1000);
    Post([this, ms, job = std::move(job)] { QTimer::singleShot(ms, &context_, job); });
}

void LiveRelay::Queue(LiveWrite write, std::function<void(LiveWritten)> done) {
    bool first = false;
    {
        const std::lock_guard<std::mutex> hold(writesLock_);
        first = writes_.empty();
        writes_.push_back({std::move(write), std::move(done), LiveGame::Now()});
    }
    // One flush waits on the relay's thread for everything queued until it runs.
    if (first) Post([this] { Flush(); });
}

void LiveRelay::Flush() {
    std::vector<QueuedWrite> taken;
    {
        const std::lock_guard<std::mutex> hold(writesLock_);
        taken.swap(writes_);
    }
    if (taken.empty()) return;
    std::vector<LiveWrite> writes;
    for (const QueuedWrite& q : taken) writes.push_back(q.write);
    const auto commit = [this](const std::vector<LiveWrite>& some) -> std::optional<std::vector<bool>> {
        try {
            return WriteLive(store_, some, instance_);
        } catch (const StoreError& e) {
            store_.Failed(e);
            return std::nullopt;
        }
    };
    const auto told = [](bool written) {
        return written ? LiveWritten::kStored : LiveWritten::kTaken;
    };
    if (const std::optional<std::vector<bool>> written = commit(writes)) {
        for (size_t i = 0; i < taken.size(); ++i) taken[i].done(told((*written)[i]));
        return;
    }
    // One write the database refused fails only its own game: the others go again alone.
    // A write the database could not take (it is away) waits for it, as long as a client
    // sends a batch again, and is tried again every half second meanwhile.
    std::vector<QueuedWrite> again;
    const double now = LiveGame::Now();
    for (size_t i = 0; i < taken.size(); ++i) {
        const std::optional<std::vector<bool>> alone =
            taken.size() > 1 ? commit({writes[i]}) : std::nullopt;
        if (alone) {
            taken[i].done(told(alone->front()));
        } else if (now - taken[i].since < kWriteRetrySeconds) {
            again.push_back(std::move(taken[i]));
        } else {
            taken[i].done(LiveWritten::kFailed);
        }
    }
    if (again.empty()) return;
    {
        const std::lock_guard<std::mutex> hold(writesLock_);
        writes_.insert(writes_.begin(), std::make_move_iterator(again.begin()),
                       std::make_move_iterator(again.end()));
    }
    Later(0.5, [this] { Flush(); });
}

std::shared_ptr<HttpStream> LiveRelay::Watch(const std::string& id,
                                             std::optional<int64_t> after) {
    ++watching_;
    std::shared_ptr<LiveFeed> feed;
    bool fresh = false;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        std::shared_ptr<LiveFeed>& f = feeds_[id];
        fresh = !f;
        if (!f) f = std::make_shared<LiveFeed>(false);
        feed = f;
    }
    auto reader = std::make_shared<FeedReader>(feed, watching_, after);
    if (!feed->Join(reader, watchersPerGame_)) return nullptr;  // the reader gives its count back
    // A game of another hall: what the database has of it so far.
    if (fresh) Post([this, id] { CatchUp(id); });
    return reader;
}

void LiveRelay::CatchUp(const std::string& id) {
    std::shared_ptr<LiveFeed> feed;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        const auto it = feeds_.find(id);
        if (it == feeds_.end() || it->second->local_) return;
        feed = it->second;
    }
    try {
        // The state first: a game that ended has all its batches in the table.
        const std::optional<LiveRow> row = FindLiveGame(store_, id);
        for (const auto& [seq, lines] : LiveBatches(store_, id, feed->next()))
            feed->Add(seq, lines, "");
        if (!row) {
            feed->End(EndEvent({std::nullopt, {"not-found", ""}, false}));
        } else if (row->state != "playing") {
            LiveEnd end;
            if (row->state == "ended" || row->state == "stored") end.score = row->score;
            end.refusal.code = row->error;
            feed->End(EndEvent(end));
        }
    } catch (const StoreError& e) {
        store_.Failed(e);
    }
}

void LiveRelay::Notified(const QString& payload) {
    const QStringList words = payload.split(' ');
    if (words.size() != 3 || words[0].toStdString() == instance_) return;
    CatchUp(words[1].toStdString());
}

void LiveRelay::Tick() {
    try {
        // A fresh connection (the first, or one that replaced a lost one) listens anew; the
        // feeds watched here catch up below with what came meanwhile.
        if (store_.postgres())
            store_.Listen(kLiveChannel, listening_, [this](const QString& p) { Notified(p); });
    } catch (const StoreError& e) {
        // The database is away: the watchers wait, and the next second tries again.
        store_.Failed(e);
    }
    std::vector<std::string> remote;
    std::vector<std::shared_ptr<LiveFeed>> all;
    const double now = LiveGame::Now();
    {
        const std::lock_guard<std::mutex> hold(lock_);
        std::erase_if(feeds_, [now](const auto& f) { return f.second->Stale(now); });
        for (const auto& [id, feed] : feeds_) {
            if (!feed->local_ && !feed->ended() && feed->watched()) remote.push_back(id);
            all.push_back(feed);
        }
    }
    for (const auto& feed : all) feed->KeepAlive(now);
    // A NOTIFY lost with a dropped connection costs a watcher a second, no more.
    for (const std::string& id : remote) CatchUp(id);
    if (tick_) tick_();
}

}  // namespace korvane::hall
