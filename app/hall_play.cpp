#include "hall_play.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QScopeGuard>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "command_table.h"
#include "settings_dialog_rules.h"
#include "hall_key.h"
#include "live_marks.h"

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
// The live game is opened as the start is clicked, so that the settings dialog, which the
// player answers before the start needs its seed, hides the hall's answer. When the dialog
// closes before the answer has come, the game waits for it this long at most after the
// close, and then plays without the hall. (A game opened ahead, as the ticket comes, would
// start the hall's clock and spend the ticket while the player may never start.)
constexpr int kOpeningWaitMillis = 3000;
// How long a batch is sent again while the hall cannot take it: longer than a live game's
// takeover by another hall (its lease, 2.5 s) or a hall's restart.
constexpr qint64 kBatchRetryMillis = 15000;
// How long a restart waits for the hall to take the game's last lines.
constexpr int kLastLinesWaitMillis = 3000;

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

// Why the hall did not do what it was asked, in one line.
QString Refusal(QNetworkReply* reply, const QJsonObject& body) {
    const int status = HttpStatus(reply);
    if (status == 0) return QStringLiteral("it cannot be reached: ") + reply->errorString();
    const QString code = body.value(QStringLiteral("error")).toString();
    const QString message = body.value(QStringLiteral("message")).toString();
    if (code.isEmpty()) return QStringLiteral("it answered %1").arg(status);
    return message.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(message, code);
}

// What the hall said to a game sent in; a key it answered (the name's first score) is kept.
HallDialog::Answer EntryAnswer(QNetworkReply* reply, const QUrl& hall) {
    const int status = HttpStatus(reply);
    const QJsonObject body = QJsonDocument::fromJson(reply->readAll()).object();
    if (status == 201) {
        QString text = QStringLiteral("Entered at rank %1 with %2 (%3).")
                           .arg(body.value(QStringLiteral("rank")).toInteger())
                           .arg(body.value(QStringLiteral("score")).toInteger())
                           .arg(body.value(QStringLiteral("category")).toString());
        const QString key = body.value(QStringLiteral("key")).toString();
        if (!key.isEmpty()) {
            KeepHallKey(hall, key);
            text += QStringLiteral(" The name is yours: this hall's key is kept for you (\"Your key\").");
        }
        return {true, text};
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
      noTicket_(QStringLiteral("it has not answered yet")),
      restart_([this] { return ReExecute(); }) {
    // It records the game itself, into --record's file too.
    QtShell& shell = program_.shell();
    shell.Record(recordPath, [this](const std::string& line) { recorded_ += line + "\n"; });
    shell.ChooseSeed([this](uint64_t clockSeed) { return SeedSeen(clockSeed); });
    shell.OnGameRecorded([this] { GameRecorded(); });
    shell.SetGate([this](const script::ScriptLine& command) { return MayHandle(command); });
    shell.OnDialogClosed([this](const Dialog& dialog, std::function<void()> goOn) {
        AfterDialog(dialog, std::move(goOn));
    });
    waitEnds_.setSingleShot(true);
    connect(&waitEnds_, &QTimer::timeout, this, [this] { EndWait(); });
    renewal_.setSingleShot(true);
    connect(&renewal_, &QTimer::timeout, this, [this] { TakeTicket(); });
    // Qt's modal loops run timers too: the batches go on while a dialog holds the game.
    batches_.setTimerType(Qt::PreciseTimer);
    connect(&batches_, &QTimer::timeout, this, [this] { SendBatch(); });
    TakeTicket();
}

HallPlay::~HallPlay() {
    program_.shell().SetGate(nullptr);
    program_.shell().OnDialogClosed(nullptr);
    program_.shell().ChooseSeed(nullptr);
    program_.shell().StopRecording();
    for (QNetworkReply* reply : network_.findChildren<QNetworkReply*>()) reply->disconnect(this);
}

std::optional<uint64_t> HallPlay::LiveSeed() const {
    if (!live_) return std::nullopt;
    return live_->seed;
}

void HallPlay::TakeTicket() {
    QNetworkReply* reply =
        network_.post(HallRequest(hall_, "api/tickets", "text/plain"), QByteArray());
    connect(reply, &QNetworkReply::finished, this, [this, reply] { TicketAnswered(reply); });
}

void HallPlay::TicketAnswered(QNetworkReply* reply) {
    reply->deleteLater();
    if (stage_ != Stage::Waiting || opening_ || live_) return;
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    // A hall that still shows the ticket's seed is not asked for it: the live game's counts.
    const QString id = answer.value(QStringLiteral("ticket")).toString();
    if (reply->error() == QNetworkReply::NoError && HttpStatus(reply) == 201 && !id.isEmpty()) {
        ticket_ = id;
        renewal_.start(RenewalMillis(answer));
        return;
    }
    if (!ticket_) noTicket_ = Refusal(reply, answer);
    renewal_.start(kRetryMillis);
}

void HallPlay::OpenLive() {
    renewal_.stop();
    const QJsonObject body{{QStringLiteral("ticket"), *ticket_}};
    opening_ = network_.post(HallRequest(hall_, "api/live", "application/json"),
                             QJsonDocument(body).toJson(QJsonDocument::Compact));
    QNetworkReply* reply = opening_;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { LiveAnswered(reply); });
}

void HallPlay::LiveAnswered(QNetworkReply* reply) {
    reply->deleteLater();
    opening_ = nullptr;
    // The game goes on from the settings dialog with the answer, whatever it is.
    const auto answered = qScopeGuard([this] { EndWait(); });
    // Too late, the game plays without the hall (which counts the game abandoned).
    if (stage_ != Stage::Waiting) return;
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    const QString id = answer.value(QStringLiteral("live")).toString();
    const double seed = answer.value(QStringLiteral("seed")).toDouble(-1.0);
    // How often the hall wants a batch.
    const int batch = answer.value(QStringLiteral("batch")).toInt(0);
    if (reply->error() == QNetworkReply::NoError && HttpStatus(reply) == 201 && !id.isEmpty() &&
        seed >= 0.0 && seed < kSeedLimit && std::floor(seed) == seed && batch >= 50 &&
        batch <= 5000) {
        live_ = Live{id, static_cast<uint64_t>(seed), batch};
        return;
    }
    noLive_ = Refusal(reply, answer);
}

void HallPlay::AfterDialog(const Dialog& dialog, std::function<void()> goOn) {
    if (!dynamic_cast<SettingsDialog*>(dialog.rules) || stage_ != Stage::Waiting) return goOn();
    // A ticket that came while the dialog was open opens the live game now.
    if (ticket_ && !opening_ && !live_) OpenLive();
    if (!opening_) return goOn();
    // The start needs the hall's seed: the game waits for the answer, a while at most.
    WaitThen(kOpeningWaitMillis, std::move(goOn));
}

void HallPlay::WaitThen(int millis, std::function<void()> then) {
    then_ = std::move(then);
    waitEnds_.start(millis);
}

void HallPlay::EndWait() {
    waitEnds_.stop();
    if (const std::function<void()> then = std::exchange(then_, nullptr)) then();
}

uint64_t HallPlay::SeedSeen(uint64_t clockSeed) {
    if (stage_ != Stage::Waiting) return clockSeed;
    renewal_.stop();
    if (!live_) {
        // Only a program's first game can be a hall game: this run plays on without the hall.
        stage_ = Stage::Off;
        const QString why = !ticket_
                                ? QStringLiteral("no ticket: ") + noTicket_
                                : QStringLiteral("no live game: ") +
                                      (opening_ ? QStringLiteral("it has not answered") : noLive_);
        std::fprintf(stderr,
                     "korvane: the hall of fame at %s gave %s; this game is not for the hall\n",
                     qPrintable(hall_.toDisplayString()), qPrintable(why));
        return clockSeed;
    }
    stage_ = Stage::Playing;
    batches_.start(live_->batchMillis);
    return live_->seed;
}

// A batch goes as soon as it is due, whatever the answers still on their way: the hall
// answers once its replay has run a batch, and a slow answer must not hold the next batch,
// let alone the game. But QNetworkAccessManager sends a POST made while another is
// unanswered on a connection of its own, so a batch waits for the one before it to have
// been written out, and carries its number, by which the hall runs the batches in order
// even when the hall's loops read two connections the other way round.
void HallPlay::SendBatch() {
    if (!refused_.isEmpty() || lastSent_) return;
    if (sending_) {
        batchDue_ = true;
        return;
    }
    batchDue_ = false;
    // After the game, what the program records is not the hall's.
    lastSent_ = stage_ == Stage::Ended;
    const size_t upTo = lastSent_ ? gameEnd_ : recorded_.size();
    // A dialog open says the game stands for the player; one the hall has not met yet (the
    // victory's, whose choice is written as it closes) opens in the frame after the mark.
    const std::string text =
        recorded_.substr(sent_, upTo - sent_) +
        script::WriteBatchMarks({program_.shell().FramesWritten(),
                                 QApplication::activeModalWidget() != nullptr ||
                                     program_.shell().VictoryHolds(),
                                 ++batchNumber_});
    sent_ = upTo;
    sending_ = PostBatch(QByteArray::fromStdString(text), QDateTime::currentMSecsSinceEpoch());
}

QNetworkReply* HallPlay::PostBatch(const QByteArray& batch, qint64 firstSent) {
    const QString path = QStringLiteral("api/live/%1/lines").arg(live_->id);
    QNetworkRequest request = HallRequest(hall_, qPrintable(path), "text/plain");
    // Only the player sends the game's lines: the ticket that opened it says who that is.
    request.setRawHeader("Authorization", "Bearer " + ticket_->toUtf8());
    QNetworkReply* reply = network_.post(request, batch);
    ++unanswered_;
    connect(reply, &QNetworkReply::requestSent, this, [this, reply] { BatchSent(reply); });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, batch, firstSent] { BatchAnswered(reply, batch, firstSent); });
    return reply;
}

void HallPlay::BatchSent(QNetworkReply* reply) {
    if (reply != sending_) return;
    sending_ = nullptr;
    if (batchDue_) SendBatch();
}

void HallPlay::BatchAnswered(QNetworkReply* reply, const QByteArray& batch, qint64 firstSent) {
    reply->deleteLater();
    --unanswered_;
    const int status = HttpStatus(reply);
    // A hall that died, or restarts, or whose database is away: the batch goes again, for a
    // while, to whichever hall carries the game on (its number keeps it from running twice).
    const bool again = status == 0 || status == 502 || status == 503 || status == 504;
    if (again && refused_.isEmpty() &&
        QDateTime::currentMSecsSinceEpoch() - firstSent < kBatchRetryMillis) {
        ++unanswered_;  // still on its way
        QTimer::singleShot(live_->batchMillis, this, [this, batch, firstSent] {
            --unanswered_;
            if (refused_.isEmpty()) PostBatch(batch, firstSent);
        });
    } else if (status != 204) {
        StopLive(Refusal(reply, QJsonDocument::fromJson(reply->readAll()).object()));
    }
    BatchSent(reply);  // when it failed before it was sent
    if (stage_ == Stage::Ended && unanswered_ == 0 && restarting_) EndWait();
    if (stage_ == Stage::Ended && unanswered_ == 0 && afterLines_)
        std::exchange(afterLines_, nullptr)();
}

void HallPlay::StopLive(const QString& why) {
    if (!refused_.isEmpty()) return;
    batches_.stop();
    refused_ = QStringLiteral("The hall took no more of this game: %1.").arg(why);
    std::fprintf(stderr, "korvane: %s\n", qPrintable(refused_));
}

void HallPlay::GameRecorded() {
    if (stage_ != Stage::Playing) return;
    stage_ = Stage::Ended;
    gameEnd_ = recorded_.size();
    batches_.stop();
    // The last batch holds the game's checks: the hall's replay ends the game with them.
    SendBatch();
    const int score = program_.game().state().score;
    // After the command that ended the game has returned, its dialogs all closed.
    if (score > 0 || !refused_.isEmpty())
        QTimer::singleShot(0, this, [this, score] { OfferEntry(score); });
}

void HallPlay::OfferEntry(int score) {
    if (!refused_.isEmpty()) {
        Open(new HallDialog(refused_, &program_.window()));
        return;
    }
    auto* dialog = new HallDialog(
        score,
        [this](const QString& name, HallDialog::Answered answered) {
            Submit(name, std::move(answered));
        },
        &program_.window());
    dialog->SetKeyShown([hall = hall_] {
        const QString key = HallKey(hall);
        return (key.isEmpty() ? QStringLiteral("You have no key for this hall yet: your first "
                                               "score gets one. ")
                              : QStringLiteral("Your key for this hall: %1. ").arg(key)) +
               HallKeyPlace();
    });
    Open(dialog);
}

void HallPlay::Open(HallDialog* dialog) {
    // Modal over the main window, as the game's dialogs are; gone when closed.
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

void HallPlay::Submit(const QString& name, HallDialog::Answered answered) {
    // The hall stores the game once its replay has run the last lines.
    if (unanswered_ > 0) {
        afterLines_ = [this, name, answered] { Submit(name, answered); };
        return;
    }
    if (!refused_.isEmpty()) {
        answered({false, refused_});
        return;
    }
    QJsonObject body{{QStringLiteral("ticket"), *ticket_}, {QStringLiteral("name"), name}};
    // The key held for this hall goes with every score: it is what makes a name the player's.
    if (const QString key = HallKey(hall_); !key.isEmpty()) body[QStringLiteral("key")] = key;
    QNetworkReply* reply = network_.post(HallRequest(hall_, "api/scores", "application/json"),
                                         QJsonDocument(body).toJson(QJsonDocument::Compact));
    connect(reply, &QNetworkReply::finished, this,
            [reply, hall = hall_, answered = std::move(answered)] {
                reply->deleteLater();
                answered(EntryAnswer(reply, hall));
            });
}

bool HallPlay::MayHandle(const script::ScriptLine& command) {
    if (waiting_) return false;
    if (command.command != script::cmd::kClick || command.args[0] != "cmdStart" ||
        program_.game().state().gamerunning) {
        return true;
    }
    if (stage_ == Stage::Waiting && ticket_ && !opening_ && !live_) OpenLive();
    if (stage_ != Stage::Ended) return true;
    // The hall keeps the game only when its last lines have come: this start waits for them,
    // no command runs meanwhile, and then either a fresh program plays or, when none could
    // start, this start is given again and plays here, not for the hall.
    waiting_ = true;
    restarting_ = true;
    WaitThen(kLastLinesWaitMillis, [this] {
        waiting_ = false;
        restarting_ = false;
        if (restart_()) return;
        stage_ = Stage::Off;
        program_.shell().Give(script::MakeLine(script::cmd::kClick, {"cmdStart"}));
    });
    if (unanswered_ == 0) QTimer::singleShot(0, this, [this] { EndWait(); });
    return false;
}

// The hall replays a game as a fresh program's first: the win score after "harder", the
// cube's step counter and the game clock carry over from one game of a run to the next, so
// a second game of this run would not replay alone. The next hall game is therefore played
// by a fresh program, started with the same arguments; this one ends as the game always
// ends, at once.
bool HallPlay::ReExecute() {
    if (QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments_)) {
        QtShell::EndNow();
    }
    std::fputs(
        "korvane: the program could not start afresh; the games from now on are not for the hall\n",
        stderr);
    return false;
}

}  // namespace korvane
