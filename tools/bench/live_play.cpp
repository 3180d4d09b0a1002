#include "live_play.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <sstream>
#include <thread>

namespace korvane::bench {

namespace {

using Clock = std::chrono::steady_clock;

QJsonObject JsonOf(const HttpAnswer& answer) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
}

// Whether a line has been played by `frame`: an `at F` line once F is, an expect line only
// after the game's last frame, the lines before the game at once.
bool Played(const std::string& line, int64_t frame, bool over) {
    if (over) return true;
    if (line.rfind("at ", 0) == 0) return std::stoll(line.substr(3)) <= frame;
    return line.rfind("expect", 0) != 0;
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
    const QJsonObject body{{"ticket", JsonOf(ticket)["ticket"]}};
    const HttpAnswer live = connection.Send(
        "POST", "/api/live", QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString());
    if (live.status != 201) return opened.why = "live: " + ErrorCode(live), opened;
    const QJsonObject o = JsonOf(live);
    opened.id = o["live"].toString().toStdString();
    opened.seed = static_cast<uint64_t>(o["seed"].toInteger());
    return opened;
}

LivePlayed PlayLive(HttpConnection& connection, const std::string& id, const PacedGame& game,
                    double batchSeconds,
                    const std::function<void(int64_t frame, SteadyTime)>& sent) {
    std::vector<std::string> lines;
    std::istringstream in(game.recording);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    LivePlayed played;
    if (game.times.empty()) return played.error = "no frames", played;
    const std::string path = "/api/live/" + id + "/lines";
    const Clock::time_point start = Clock::now();
    Clock::time_point next = start;
    size_t at = 0;
    while (at < lines.size()) {
        next += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(batchSeconds));
        std::this_thread::sleep_until(next);
        const Clock::time_point now = Clock::now();
        const double gameSeconds =
            game.times[0] + std::chrono::duration<double>(now - start).count();
        const int64_t frame = std::upper_bound(game.times.begin(), game.times.end(),
                                               gameSeconds) -
                              game.times.begin();
        const bool over = frame >= static_cast<int64_t>(game.times.size());
        std::string batch;
        for (; at < lines.size() && Played(lines[at], frame, over); ++at) batch += lines[at] + "\n";
        batch += "# frame " + std::to_string(frame) + "\n";
        if (sent) sent(frame, now);
        const HttpAnswer answer = connection.Send("POST", path, batch);
        played.answerSeconds.push_back(std::chrono::duration<double>(Clock::now() - now).count());
        ++played.batches;
        played.status = answer.status;
        if (answer.status != 204) {
            played.error = ErrorCode(answer);
            played.message = JsonOf(answer)["message"].toString().toStdString();
            break;
        }
    }
    return played;
}

}  // namespace korvane::bench
