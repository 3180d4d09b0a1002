#include "live_play.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <memory>
#include <optional>
#include <sstream>

#include "command_table.h"

namespace korvane::bench {

namespace {

using Clock = std::chrono::steady_clock;

// As a browser keeps a few connections to one host.
constexpr int kConnections = 3;
// A batch that got no answer goes again after this.
constexpr auto kRetryPause = std::chrono::milliseconds(100);

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

struct Batch {
    int64_t frame = 0;
    std::string request;
    Clock::time_point first;  // first sent
};

struct Player;

// One kept connection of a player's, with at most one batch on it.
struct Link {
    Player* player = nullptr;
    int fd = -1;
    std::string out;  // the request's bytes not yet written
    std::string in;
    std::optional<Batch> flying;
    Clock::time_point sentAt;
};

struct Player {
    size_t index = 0;
    const LiveToPlay* play = nullptr;
    std::vector<std::string> lines;
    std::string head;  // the request line and the headers every batch carries
    size_t at = 0;     // the first line not yet sent
    int64_t number = 0;
    Clock::time_point start, next;
    bool making = true;  // batches still to make
    std::deque<Batch> waiting;
    Clock::time_point retryAt;
    Link links[kConnections];
    LivePlayed played;

    bool Active() const {
        return making || !waiting.empty() ||
               std::any_of(std::begin(links), std::end(links), [](const Link& l) { return l.flying; });
    }
};

// The whole answer at the front of `in`, taken from it: its status and body, or nothing
// while it is still coming.
std::optional<HttpAnswer> TakeAnswer(std::string& in) {
    const size_t headEnd = in.find("\r\n\r\n");
    if (headEnd == std::string::npos) return std::nullopt;
    HttpAnswer answer;
    answer.status = std::atoi(in.c_str() + in.find(' ') + 1);
    std::string head = in.substr(0, headEnd + 2);
    std::transform(head.begin(), head.end(), head.begin(), ::tolower);
    const size_t field = head.find("\r\ncontent-length:");
    const size_t length = field == std::string::npos || answer.status == 204
                              ? 0
                              : std::strtoull(head.c_str() + field + 17, nullptr, 10);
    if (in.size() < headEnd + 4 + length) return std::nullopt;
    answer.body = in.substr(headEnd + 4, length);
    in.erase(0, headEnd + 4 + length);
    return answer;
}

class Crowd {
  public:
    Crowd(int port, double batchSeconds, double retrySeconds,
          const std::function<void(size_t, int64_t, SteadyTime)>& sent)
        : port_(port), batch_(std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(batchSeconds))),
          retrySeconds_(retrySeconds), sent_(sent), poll_(epoll_create1(EPOLL_CLOEXEC)) {}
    ~Crowd() {
        for (Player& p : players_) {
            for (Link& l : p.links) Close(l);
        }
        close(poll_);
    }

    std::vector<LivePlayed> Play(const std::vector<LiveToPlay>& games) {
        players_.resize(games.size());
        const Clock::time_point began = Clock::now();
        for (size_t i = 0; i < games.size(); ++i) Prepare(players_[i], i, games[i], began);
        epoll_event events[256];
        for (;;) {
            Clock::time_point now = Clock::now();
            Clock::time_point wake = now + std::chrono::milliseconds(100);
            bool active = false;
            for (Player& p : players_) {
                if (p.making && now >= p.next) MakeBatch(p, now);
                Dispatch(p, now);
                if (p.making) wake = std::min(wake, p.next);
                if (!p.waiting.empty()) wake = std::min(wake, p.retryAt);
                active = active || p.Active();
            }
            if (!active) break;
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
            const int n = epoll_wait(poll_, events, 256, static_cast<int>(std::max<int64_t>(0, wait)));
            now = Clock::now();
            for (int e = 0; e < n; ++e) Service(*static_cast<Link*>(events[e].data.ptr), now);
        }
        std::vector<LivePlayed> played;
        for (Player& p : players_) played.push_back(std::move(p.played));
        return played;
    }

  private:
    void Prepare(Player& p, size_t index, const LiveToPlay& game, Clock::time_point began) {
        p.index = index;
        p.play = &game;
        std::istringstream in(game.game.recording);
        for (std::string line; std::getline(in, line);) p.lines.push_back(line);
        p.head = "POST /api/live/" + game.opened.id +
                 "/lines HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " +
                 game.opened.ticket + "\r\nContent-Type: text/plain\r\n";
        p.start = began + std::chrono::duration_cast<Clock::duration>(
                              std::chrono::duration<double>(game.delay));
        p.next = p.start + batch_;
        for (Link& l : p.links) l.player = &p;
        p.played.status = 204;
        if (game.opened.id.empty() || game.game.times.empty()) {
            p.making = false;
            p.played.status = 0;
            p.played.error = game.opened.id.empty() ? game.opened.why : "no frames";
        }
    }

    // The lines of the frames played by now, numbered, as a request.
    void MakeBatch(Player& p, Clock::time_point now) {
        const std::vector<double>& times = p.play->game.times;
        const double gameSeconds = times[0] + std::chrono::duration<double>(now - p.start).count();
        const int64_t frame = std::upper_bound(times.begin(), times.end(), gameSeconds) - times.begin();
        const bool over = frame >= static_cast<int64_t>(times.size());
        std::string body;
        for (; p.at < p.lines.size() && Played(p.lines[p.at], frame, over); ++p.at)
            body += p.lines[p.at] + "\n";
        body += "# batch " + std::to_string(++p.number) + "\n# frame " + std::to_string(frame) + "\n";
        p.waiting.push_back(
            {frame, p.head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body, now});
        p.next += batch_;
        p.making = p.at < p.lines.size();
    }

    // The waiting batches, in order, on the free connections.
    void Dispatch(Player& p, Clock::time_point now) {
        if (p.waiting.empty() || now < p.retryAt) return;
        for (Link& l : p.links) {
            if (p.waiting.empty()) return;
            if (l.flying) continue;
            l.flying = std::move(p.waiting.front());
            p.waiting.pop_front();
            l.out = l.flying->request;
            l.sentAt = now;
            if (sent_) sent_(p.index, l.flying->frame, now);
            if ((l.fd < 0 && !Connect(l)) || !Write(l)) Lost(l, now);
        }
    }

    bool Connect(Link& l) {
        l.fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (l.fd < 0) return false;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int one = 1;
        setsockopt(l.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        // A loopback connection is made by the kernel at once; only the talk waits.
        if (connect(l.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            Close(l);
            return false;
        }
        fcntl(l.fd, F_SETFL, fcntl(l.fd, F_GETFL) | O_NONBLOCK);
        epoll_event event{};
        event.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;
        event.data.ptr = &l;
        epoll_ctl(poll_, EPOLL_CTL_ADD, l.fd, &event);
        return true;
    }

    // Writes what the socket takes of the request; false when the connection failed.
    static bool Write(Link& l) {
        while (!l.out.empty()) {
            const ssize_t n = send(l.fd, l.out.data(), l.out.size(), MSG_NOSIGNAL);
            if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
            l.out.erase(0, static_cast<size_t>(n));
        }
        return true;
    }

    void Service(Link& l, Clock::time_point now) {
        if (l.fd < 0) return;
        bool open = Write(l);
        char buffer[16384];
        for (ssize_t n; open;) {
            n = recv(l.fd, buffer, sizeof buffer, 0);
            if (n > 0) l.in.append(buffer, static_cast<size_t>(n));
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) open = false;
            if (n < 0) break;
        }
        while (l.flying) {
            std::optional<HttpAnswer> answer = TakeAnswer(l.in);
            if (!answer) break;
            Answered(l, *answer, now);
        }
        if (!open) {
            Close(l);
            if (l.flying) Lost(l, now);
        }
    }

    void Answered(Link& l, const HttpAnswer& answer, Clock::time_point now) {
        Player& p = *l.player;
        l.flying.reset();
        p.played.answerSeconds.push_back(std::chrono::duration<double>(now - l.sentAt).count());
        ++p.played.batches;
        if (answer.status == 204) {
            p.played.taken.push_back(now);
        } else if (p.played.status == 204) {
            // The first refusal ends the game: nothing more is sent.
            p.played.status = answer.status;
            p.played.error = ErrorCode(answer);
            p.played.message = JsonOf(answer)["message"].toString().toStdString();
            p.making = false;
            p.waiting.clear();
        }
    }

    // A batch that got no answer: sent again a little later, or the game's end.
    void Lost(Link& l, Clock::time_point now) {
        Close(l);
        Player& p = *l.player;
        if (std::chrono::duration<double>(now - l.flying->first).count() < retrySeconds_) {
            p.waiting.push_front(std::move(*l.flying));
            l.flying.reset();
            p.retryAt = now + kRetryPause;
            return;
        }
        Answered(l, HttpAnswer{}, now);
    }

    void Close(Link& l) {
        if (l.fd >= 0) close(l.fd);
        l.fd = -1;
        l.in.clear();
        l.out.clear();
    }

    const int port_;
    const Clock::duration batch_;
    const double retrySeconds_;
    const std::function<void(size_t, int64_t, SteadyTime)>& sent_;
    const int poll_;
    std::vector<Player> players_;
};

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

std::vector<LivePlayed> PlayLive(int port, const std::vector<LiveToPlay>& games,
                                 double batchSeconds,
                                 const std::function<void(size_t, int64_t, SteadyTime)>& sent,
                                 double retrySeconds) {
    return Crowd(port, batchSeconds, retrySeconds, sent).Play(games);
}

}  // namespace korvane::bench
