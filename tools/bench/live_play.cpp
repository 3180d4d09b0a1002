#include "live_play.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <sstream>
#include <thread>

#include "command_table.h"

namespace korvane::bench {

namespace {

using Clock = std::chrono::steady_clock;

// As a browser keeps a few connections to one host.
constexpr int kConnections = 3;

QJsonObject JsonOf(const HttpAnswer& answer) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
}

// Whether a line has been played by `frame`: an `at F` line once F is, an expect line only
// after the game's last frame, the lines before the game at once.
bool Played(const std::string& line, int64_t frame, bool over) {
    if (over) return true;
    if (line.rfind("at ", 0) == 0) return std::stoll(line.substr(3)) <= frame;
    return line.rfind(script::cmd::kExpect, 0) != 0;
}

}  // namespace

std::string ErrorCode(const HttpAnswer& answer) {
    const std::string code = JsonOf(answer)["error"].toString().toStdString();
    return code.empty() ? std::to_string(answer.status) : code;
}

OpenedLive OpenLive(HttpConnection& connection) {
    OpenedLive opened;
    const HttpAnswer ticket = connection.Send("POST", "/api/tickets");
    if (ticket.status != 201) return opened.why = "ticket: " + ErrorCode(ticket), opened;
    opened.ticket = JsonOf(ticket)["ticket"].toString().toStdString();
    const QJsonObject body{{"ticket", QString::fromStdString(opened.ticket)}};
    const HttpAnswer live = connection.Send(
        "POST", "/api/live", QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString());
    if (live.status != 201) return opened.why = "live: " + ErrorCode(live), opened;
    const QJsonObject o = JsonOf(live);
    opened.id = o["live"].toString().toStdString();
    opened.seed = static_cast<uint64_t>(o["seed"].toInteger());
    return opened;
}

LivePlayed PlayLive(int port, const OpenedLive& opened, const PacedGame& game, double batchSeconds,
                    const std::function<void(int64_t frame, SteadyTime)>& sent,
                    double retrySeconds) {
    std::vector<std::string> lines;
    std::istringstream in(game.recording);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    LivePlayed played;
    if (game.times.empty()) return played.error = "no frames", played;
    const std::string path = "/api/live/" + opened.id + "/lines";
    const std::string player = "Authorization: Bearer " + opened.ticket + "\r\n";
    std::mutex lock;
    std::condition_variable ready;
    std::deque<std::pair<int64_t, std::string>> waiting;  // frame mark, batch
    bool finished = false;
    bool refused = false;
    std::mutex sending;  // the batches leave in order
    played.status = 204;
    std::vector<std::thread> senders;
    for (int k = 0; k < kConnections; ++k) {
        senders.emplace_back([&] {
            HttpConnection connection(port);
            std::unique_lock<std::mutex> hold(lock);
            for (;;) {
                ready.wait(hold, [&] { return finished || !waiting.empty(); });
                if (waiting.empty()) return;
                std::unique_lock<std::mutex> order(sending);
                const auto [frame, batch] = std::move(waiting.front());
                waiting.pop_front();
                hold.unlock();
                const Clock::time_point now = Clock::now();
                if (sent) sent(frame, now);
                bool written = connection.Write("POST", path, batch, player);
                order.unlock();
                HttpAnswer answer = written ? connection.ReadAnswer() : HttpAnswer{};
                while (answer.status == 0 &&
                       std::chrono::duration<double>(Clock::now() - now).count() < retrySeconds) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    written = connection.Write("POST", path, batch, player);
                    answer = written ? connection.ReadAnswer() : HttpAnswer{};
                }
                hold.lock();
                if (answer.status == 204) played.taken.push_back(Clock::now());
                played.answerSeconds.push_back(
                    std::chrono::duration<double>(Clock::now() - now).count());
                ++played.batches;
                if (answer.status != 204 && !refused) {
                    refused = true;
                    played.status = answer.status;
                    played.error = ErrorCode(answer);
                    played.message = JsonOf(answer)["message"].toString().toStdString();
                }
            }
        });
    }
    const Clock::time_point start = Clock::now();
    Clock::time_point next = start;
    int64_t number = 0;  // each batch numbered, as the page and the desktop number theirs
    for (size_t at = 0; at < lines.size();) {
        next += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(batchSeconds));
        std::this_thread::sleep_until(next);
        const double gameSeconds =
            game.times[0] + std::chrono::duration<double>(Clock::now() - start).count();
        const int64_t frame = std::upper_bound(game.times.begin(), game.times.end(), gameSeconds) -
                              game.times.begin();
        const bool over = frame >= static_cast<int64_t>(game.times.size());
        std::string batch;
        for (; at < lines.size() && Played(lines[at], frame, over); ++at) batch += lines[at] + "\n";
        batch += "# batch " + std::to_string(++number) + "\n# frame " + std::to_string(frame) + "\n";
        const std::lock_guard<std::mutex> hold(lock);
        if (refused) break;
        waiting.emplace_back(frame, std::move(batch));
        ready.notify_one();
    }
    {
        const std::lock_guard<std::mutex> hold(lock);
        finished = true;
    }
    ready.notify_all();
    for (std::thread& t : senders) t.join();
    return played;
}

}  // namespace korvane::bench
