#pragma once
// korvane --hall URL: playing for a hall of fame, korvane-hall (docs/hall.md). As the program
// starts, a ticket is taken from the hall in the background, so that no start ever waits for
// the network. The first game starts from the ticket's seed when the ticket has come, and is
// recorded in memory as --record writes it; when it scored, the hall's own dialog offers to
// enter it once the game's dialogs have closed. Without a ticket the game plays as it always
// does, only not for the hall.

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

    // Starts the program afresh; false when it cannot. The real one re-executes it; a test
    // puts its own in place.
    using Restart = std::function<bool()>;
    void SetRestart(Restart restart) { restart_ = std::move(restart); }

    // The seed of the ticket in hand, when one has come.
    std::optional<uint64_t> TicketSeed() const;
    // Everything recorded so far, in the --record format.
    const std::string& Recorded() const { return recorded_; }

  private:
    // The hall game's seed is the ticket's.
    uint64_t SeedSeen(uint64_t clockSeed);
    // Waiting: no game yet; Playing: the hall game runs; Ended: it is over; Off: this run
    // plays no more for the hall.
    enum class Stage { Waiting, Playing, Ended, Off };
    struct Ticket {
        QString id;
        uint64_t seed = 0;
    };

    void TakeTicket();
    void TicketAnswered(QNetworkReply* reply);
    void GameRecorded();
    void OfferEntry(int score);
    void Submit(const QString& name, HallDialog::Answered answered);
    bool MayHandle(const script::ScriptLine& command);
    bool ReExecute();

    Program& program_;
    QUrl hall_;
    QStringList arguments_;
    std::string recorded_;
    std::string hallGame_;  // the recording of the hall game alone, as it ended
    Stage stage_ = Stage::Waiting;
    std::optional<Ticket> ticket_;
    QString noTicket_;  // why there is no ticket in hand
    QTimer renewal_;
    Restart restart_;
    // Last, so that it goes first, with the answers still on their way.
    QNetworkAccessManager network_;
};

}  // namespace korvane
