#pragma once
// korvane --hall URL: playing live for a hall of fame, korvane-hall (docs/hall.md). As the
// program starts, a ticket is taken from the hall in the background, so that no start ever
// waits for the network. The first start opens the live game with it, and the game starts
// from the seed the hall gives then; while it plays, the recorder's lines go to the hall in
// batches, so that the hall replays it as it is played and anyone may watch it. When it
// scored, the hall's own dialog asks for the name once the game's dialogs have closed.
// Without a live game the game plays as it always does, only not for the hall; a hall that
// refuses the game midway leaves it playing too.

#include <QNetworkAccessManager>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "hall_dialog.h"
#include "program.h"

class QNetworkReply;

namespace korvane {

class HallPlay : public QObject {
  public:
    // hall: the hall's address; recordPath: --record's file, or empty; arguments: the
    // program's own, for the fresh program after a hall game.
    HallPlay(Program& program, const QUrl& hall, const std::string& recordPath,
             QStringList arguments);
    ~HallPlay() override;

    // Starts the program afresh; false when it does not (saying why), and the games from
    // then on are not for the hall. The real one re-executes it; a test puts its own in
    // place, and so does a hall game played from a recording's inputs.
    using Restart = std::function<bool()>;
    void SetRestart(Restart restart) { restart_ = std::move(restart); }

    bool HasTicket() const { return ticket_.has_value(); }
    // The ticket in hand: once a live game opens, the one that opened it.
    QString Ticket() const { return ticket_.value_or(QString()); }
    // The live game the hall opened, once it has: its id and the seed it gave.
    QString LiveId() const { return live_ ? live_->id : QString(); }
    std::optional<uint64_t> LiveSeed() const;
    // Everything recorded so far, in the --record format.
    const std::string& Recorded() const { return recorded_; }

  private:
    // Waiting: no game yet; Playing: the hall game runs; Ended: it is over; Off: this run
    // plays no more for the hall.
    enum class Stage { Waiting, Playing, Ended, Off };
    struct Live {
        QString id;
        uint64_t seed = 0;
        int batchMillis = 0;  // how often the hall wants a batch
    };

    void TakeTicket();
    void TicketAnswered(QNetworkReply* reply);
    void OpenLive();
    void LiveAnswered(QNetworkReply* reply);
    // The hall game's seed is the live game's.
    uint64_t SeedSeen(uint64_t clockSeed);
    // After a dialog of the game: after the settings dialog, the game goes on once the
    // hall has answered the live game's opening, or a while after.
    void AfterDialog(const Dialog& dialog, std::function<void()> goOn);
    // Calls then when EndWait comes, or after millis at the latest.
    void WaitThen(int millis, std::function<void()> then);
    void EndWait();
    void Open(HallDialog* dialog);
    // The lines written since the last batch, with the frames played, to the hall.
    void SendBatch();
    void BatchSent(QNetworkReply* reply);
    // A batch to the hall, sent first at firstSent (ms since 1970).
    QNetworkReply* PostBatch(const QByteArray& batch, qint64 firstSent);
    void BatchAnswered(QNetworkReply* reply, const QByteArray& batch, qint64 firstSent);
    // The hall takes no more of this game; why, in one line.
    void StopLive(const QString& why);
    void GameRecorded();
    void OfferEntry(int score);
    void Submit(const QString& name, HallDialog::Answered answered);
    bool MayHandle(const script::ScriptLine& command);
    bool ReExecute();

    Program& program_;
    QUrl hall_;
    QStringList arguments_;
    std::string recorded_;
    Stage stage_ = Stage::Waiting;
    std::optional<QString> ticket_;
    QString noTicket_;  // why there is no ticket in hand
    QTimer renewal_;
    QNetworkReply* opening_ = nullptr;  // the live game's opening, on its way
    std::optional<Live> live_;
    QString noLive_;  // why the hall opened no live game
    // The batches: the recording's length sent so far and at the game's end, the batch not
    // yet written out, the next one due meanwhile, the answers still to come, and whether
    // the last batch has gone.
    size_t sent_ = 0;
    size_t gameEnd_ = 0;
    QNetworkReply* sending_ = nullptr;
    bool batchDue_ = false;
    int unanswered_ = 0;
    int64_t batchNumber_ = 0;  // the last batch's `# batch N`
    bool lastSent_ = false;
    QTimer batches_;
    QString refused_;                   // why the hall took no more of this game
    std::function<void()> afterLines_;  // waits for the hall to have taken every line
    bool waiting_ = false;     // a start waits for the hall: no command runs meanwhile
    bool restarting_ = false;  // for the last batches' answers, before a fresh program
    QTimer waitEnds_;
    std::function<void()> then_;  // what goes on when the wait ends
    Restart restart_;
    // Last, so that it goes first, with the answers still on their way.
    QNetworkAccessManager network_;
};

}  // namespace korvane
