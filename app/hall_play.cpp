#include "hall_play.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {

namespace {

// A hall that does not answer within this long is taken as out of reach; the player may
// still be waiting in the dialog, so not much longer.
constexpr int kAnswerMillis = 30'000;
// A hall that gave no ticket (or no new one) is asked again a minute later.
constexpr int kRetryMillis = 60 * 1000;
// A timer's longest wait, about 24 days.
constexpr qint64 kLongestTimerMillis = 0x7fffffff;
constexpr double kSeedLimit = 9007199254740992.0;  // 2^53: every seed a hall draws is below

QNetworkRequest HallRequest(const QUrl& hall, const char* path, const char* type) {
    QUrl base = hall;
    if (!base.path().endsWith(QLatin1Char('/'))) base.setPath(base.path() + QLatin1Char('/'));
    QNetworkRequest request(base.resolved(QUrl(QString::fromLatin1(path))));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray(type));
    request.setTransferTimeout(kAnswerMillis);
    return request;
}

int HttpStatus(const QNetworkReply* reply) {
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// What the hall said to a game sent in.
HallDialog::Answer EntryAnswer(QNetworkReply* reply) {
    const int status = HttpStatus(reply);
    const QJsonObject body = QJsonDocument::fromJson(reply->readAll()).object();
    if (status == 201) {
        return {true, QStringLiteral("Entered at rank %1 with %2.")
                          .arg(body.value(QStringLiteral("rank")).toInteger())
                          .arg(body.value(QStringLiteral("score")).toInteger())};
    }
    if (status == 0) return {false, QStringLiteral("The hall cannot be reached.")};
    const QString message = body.value(QStringLiteral("message")).toString();
    return {false, message.isEmpty() ? QStringLiteral("The hall refused it.") : message};
}

// A ticket is renewed, while no game has started, once half of its life is gone, so that a
// game started with it has the other half to be played and sent in. The hall says in
// `expires` when that life ends.
int RenewalMillis(const QJsonObject& ticket) {
    const QDateTime expires =
        QDateTime::fromString(ticket.value(QStringLiteral("expires")).toString(), Qt::ISODate);
    const qint64 life = expires.isValid() ? QDateTime::currentDateTimeUtc().msecsTo(expires) : 0;
    return static_cast<int>(std::clamp<qint64>(life / 2, kRetryMillis, kLongestTimerMillis));
}

}  // namespace

HallPlay::HallPlay(Program& program, const QUrl& hall, const std::string& recordPath,
                   QStringList arguments)
    : program_(program),
      hall_(hall),
      arguments_(std::move(arguments)),
      recorder_(program, recordPath, [this](const std::string& line) { recorded_ += line + "\n"; }),
      noTicket_(QStringLiteral("it has not answered yet")),
      restart_([this] { return ReExecute(); }) {
    recorder_.PutAhead(this);
    recorder_.recording().OnGameRecorded([this] { GameRecorded(); });
    program_.SetCommandGate([this](const std::string& command) { return MayHandle(command); });
    renewal_.setSingleShot(true);
    connect(&renewal_, &QTimer::timeout, this, [this] { TakeTicket(); });
    TakeTicket();
}

HallPlay::~HallPlay() {
    program_.SetCommandGate(nullptr);
    for (QNetworkReply* reply : network_.findChildren<QNetworkReply*>()) reply->disconnect(this);
}

std::optional<uint64_t> HallPlay::TicketSeed() const {
    if (!ticket_) return std::nullopt;
    return ticket_->seed;
}

void HallPlay::TakeTicket() {
    QNetworkReply* reply =
        network_.post(HallRequest(hall_, "api/tickets", "text/plain"), QByteArray());
    connect(reply, &QNetworkReply::finished, this, [this, reply] { TicketAnswered(reply); });
}

void HallPlay::TicketAnswered(QNetworkReply* reply) {
    reply->deleteLater();
    if (stage_ != Stage::Waiting) return;
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    const QString id = answer.value(QStringLiteral("ticket")).toString();
    const double seed = answer.value(QStringLiteral("seed")).toDouble(-1.0);
    if (reply->error() == QNetworkReply::NoError && HttpStatus(reply) == 201 && !id.isEmpty() &&
        seed >= 0.0 && seed < kSeedLimit && std::floor(seed) == seed) {
        ticket_ = Ticket{id, static_cast<uint64_t>(seed)};
        renewal_.start(RenewalMillis(answer));
        return;
    }
    if (!ticket_) {
        noTicket_ = reply->error() == QNetworkReply::NoError || HttpStatus(reply) != 0
                        ? QStringLiteral("it answered %1 without a ticket").arg(HttpStatus(reply))
                        : QStringLiteral("it cannot be reached: ") + reply->errorString();
    }
    renewal_.start(kRetryMillis);
}

uint64_t HallPlay::SeedSeen(uint64_t clockSeed) {
    if (stage_ != Stage::Waiting) return clockSeed;
    renewal_.stop();
    if (!ticket_) {
        // Only a program's first game can be a hall game: this run plays on without the hall.
        stage_ = Stage::Off;
        std::fprintf(
            stderr,
            "korvane: no ticket from the hall of fame at %s (%s); this game is not for the hall\n",
            qPrintable(hall_.toDisplayString()), qPrintable(noTicket_));
        return clockSeed;
    }
    stage_ = Stage::Playing;
    return ticket_->seed;
}

void HallPlay::GameRecorded() {
    if (stage_ != Stage::Playing) return;
    stage_ = Stage::Ended;
    // The recording so far holds this one game, from the program's start: what the hall
    // replays.
    hallGame_ = recorded_;
    const int score = program_.game().state().score;
    // After the command that ended the game has returned, its dialogs all closed.
    if (score > 0) QTimer::singleShot(0, this, [this, score] { OfferEntry(score); });
}

void HallPlay::OfferEntry(int score) {
    HallDialog dialog(
        score,
        [this](const QString& name, HallDialog::Answered answered) {
            Submit(name, std::move(answered));
        },
        &program_.window());
    dialog.exec();
}

void HallPlay::Submit(const QString& name, HallDialog::Answered answered) {
    const QJsonObject body{{QStringLiteral("ticket"), ticket_->id},
                           {QStringLiteral("name"), name},
                           {QStringLiteral("recording"), QString::fromStdString(hallGame_)}};
    QNetworkReply* reply = network_.post(HallRequest(hall_, "api/scores", "application/json"),
                                         QJsonDocument(body).toJson(QJsonDocument::Compact));
    connect(reply, &QNetworkReply::finished, this, [reply, answered = std::move(answered)] {
        reply->deleteLater();
        answered(EntryAnswer(reply));
    });
}

bool HallPlay::MayHandle(const std::string& command) {
    if (stage_ != Stage::Ended || command != "click cmdStart" ||
        program_.game().state().gamerunning) {
        return true;
    }
    if (restart_()) return false;
    stage_ = Stage::Off;
    std::fputs(
        "korvane: the program could not start afresh; the games from now on are not for the hall\n",
        stderr);
    return true;
}

// The hall replays a game as a fresh program's first: the win score after "harder", the
// cube's step counter and the game clock carry over from one game of a run to the next, so
// a second game of this run would not replay alone. The next hall game is therefore played
// by a fresh program, started with the same arguments; this one ends as the game always
// ends, at once.
bool HallPlay::ReExecute() {
    if (QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments_)) {
        program_.shell().EndProgram();
    }
    return false;
}

}  // namespace korvane
