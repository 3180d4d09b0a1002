// The desktop program playing live for a real korvane-hall, on the offscreen platform: from
// the live game's seed, its frames listed while it plays, entered through the hall's dialog
// with the score the hall replayed, the next start a fresh program. A game won and made
// harder in the window's victory dialog is recorded so that korvane-sim and the hall replay
// it to the same end. A game refused midway plays on; a hall that does not answer leaves the
// games as they always are.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "commands.h"
#include "hall_dialog.h"
#include "hall_key.h"
#include "hall_play.h"
#include "program.h"
#include "script_run.h"
#include "winning_player.h"
#include "../app/qt_test.h"

namespace korvane {
namespace {

// A loopback port nothing listens on, at least for now.
quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// korvane-hall with a fresh database of its own, for one test.
class Hall {
  public:
    Hall() : port_(FreePort()) {
        server_.setProcessChannelMode(QProcess::ForwardedChannels);
        server_.start(QStringLiteral(KORVANE_HALL),
                      {"--database", dir_.filePath("hall.sqlite"), "--port", QString::number(port_),
                       "--web", dir_.filePath("no-page"), "--live-only"});
    }
    ~Hall() {
        server_.terminate();
        server_.waitForFinished(30000);
    }
    bool Listening() {
        return WaitUntil([this] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port_);
            return server_.state() == QProcess::NotRunning || socket.waitForConnected(200);
        }, 50000) && server_.state() != QProcess::NotRunning;
    }
    QUrl Url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port_)); }
    QJsonArray Get(const char* path, const char* member) {
        QNetworkReply* reply = network_.get(QNetworkRequest(Url().resolved(QUrl(path))));
        if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 30000)) return {};
        reply->deleteLater();
        return QJsonDocument::fromJson(reply->readAll()).object().value(member).toArray();
    }
    void Post(const QString& path, const QByteArray& body, const QString& ticket) {
        QNetworkRequest request(Url().resolved(QUrl(path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "text/plain");
        request.setRawHeader("Authorization", "Bearer " + ticket.toUtf8());
        network_.post(request, body);
    }

  private:
    QTemporaryDir dir_;
    quint16 port_;
    QProcess server_;
    QNetworkAccessManager network_;
};

// Plays as a player would, a step every few milliseconds: 0 stars and OK in the settings
// dialog; the ship kept under the cube launching torpedoes until one strikes, then the stop;
// whatever the game says closed; the hall's dialog given a name, its answer kept, closed.
class Player {
  public:
    explicit Player(Program& program) : program_(program) {
        QObject::connect(&steps_, &QTimer::timeout, &steps_, [this] { Step(); });
        steps_.start(5);
    }
    bool hallDialogShown = false;
    bool plays = true;    // steers and fires; else only answers the windows
    bool harder = false;  // asks the victory dialog for a harder next game
    QString hallAnswer;
    std::function<void()> scored;  // called once, as the game first scores

  private:
    // A click that may open a modal window of its own is made from outside this step, so
    // that the next steps can answer it.
    static void ClickLater(QAbstractButton* button) {
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    }

    void Step() {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (modal == answered_) return;  // its click is on its way
            answered_ = modal;
            Answer(modal);
            return;
        }
        answered_ = nullptr;
        // A flash on the viewscreen holds the player's input, as the window's events wait.
        if (!plays || program_.shell().HoldsPlayerInput()) return;
        const GameState& s = program_.game().state();
        if (!s.gamerunning || !program_.window().controls().button("cmdPhaser")->isEnabled())
            return;
        if (s.score > 0) {
            if (auto once = std::exchange(scored, nullptr)) once();
            if (!stopping_) ClickLater(program_.window().controls().button("cmdStart"));
            stopping_ = true;
            return;
        }
        stopping_ = false;
        const int off = s.x + 6 - (s.cubex + 50);
        program_.KeyUp(off < -30 ? keycode::kC : off > 30 ? keycode::kZ : keycode::kX);
        program_.KeyUp(keycode::kSpace);
    }

    void Answer(QWidget* modal) {
        if (modal->objectName() == "frmStart") {
            Child<QScrollBar>(modal, "HScroll1")->setValue(0);
            ClickLater(Child<QPushButton>(modal, "cmdOK"));
        } else if (modal->objectName() == "hallDialog") {
            hallDialogShown = true;
            // Without a name to ask for, it says why the hall did not take the game.
            if (Child(modal, "hallName")->isVisible()) {
                QTest::keyClicks(Child(modal, "hallName"), "Desk Top");
                ClickLater(Child<QPushButton>(modal, "hallEnter"));
            }
            WaitForAnswer(modal);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ClickLater(box->button(QMessageBox::Ok));
        } else if (auto* close = Child<QPushButton>(modal, "cmdClose")) {
            if (modal->objectName() == "frmUWin" && harder)
                ClickLater(Child<QPushButton>(modal, "cmdChangeWinscore"));
            ClickLater(close);
        } else {
            ADD_FAILURE() << "an unexpected window: " << modal->objectName().toStdString();
            modal->close();
        }
    }

    // The hall's answer, once it has come, and the dialog closed.
    void WaitForAnswer(QWidget* dialog) {
        auto* label = Child<QLabel>(dialog, "hallAnswer");
        const QString text = label->text();
        if (text.isEmpty() || text.startsWith("Sending")) {
            QTimer::singleShot(20, dialog, [this, dialog] { WaitForAnswer(dialog); });
            return;
        }
        hallAnswer = text;
        ClickLater(Child<QPushButton>(dialog, "hallClose"));
    }

    Program& program_;
    QTimer steps_;
    QPointer<QWidget> answered_;  // the modal window last answered, while it lasts
    bool stopping_ = false;
};

class HallDesktopTest : public ::testing::Test {
  protected:
    // Shows the window to play for `play`, whose restart is counted rather than made.
    void Show(HallPlay& play) {
        play.SetRestart([this] { return ++restarts_ > 0; });
        program_.game().Main();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program_.window()));
    }
    // One game from a click on the start button; returns when it has ended.
    void PlayAGame() {
        QTest::mouseClick(program_.window().controls().button("cmdStart"), Qt::LeftButton);
        EXPECT_TRUE(Settled(program_, 120000));
    }

    Program program_;
    int restarts_ = 0;
};

TEST_F(HallDesktopTest, AGamePlayedLiveFromItsSeedIsEnteredAndTheNextStartIsAFreshProgram) {
    Hall hall;
    ASSERT_TRUE(hall.Listening()) << "korvane-hall did not start";
    QTemporaryDir dir;
    const QString recordFile = dir.filePath("game.rec");
    HallPlay play(program_, hall.Url(), recordFile.toStdString(), {});
    Show(play);
    ASSERT_TRUE(QTest::qWaitFor([&] { return play.HasTicket(); }, 30000));
    Player player(program_);
    QJsonArray live;  // what the hall lists while the game is played
    player.scored = [&] { live = hall.Get("api/live", "live"); };
    PlayAGame();
    const int score = program_.game().state().score;
    ASSERT_GT(score, 0) << "the cube won before a torpedo struck it";
    ASSERT_EQ(live.size(), 1);
    EXPECT_EQ(live.at(0)["id"].toString(), play.LiveId());
    EXPECT_GT(live.at(0)["frame"].toInt(), 100) << "the lines come as the game is played";
    const std::string recorded = play.Recorded();
    ASSERT_TRUE(play.LiveSeed());
    EXPECT_NE(recorded.find("\nseed " + std::to_string(*play.LiveSeed()) + "\n"),
              std::string::npos)
        << recorded;
    QFile file(recordFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), recorded) << "--record's file holds the same game";

    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.hallAnswer.isEmpty(); }, 60000));
    // The name's first score: the hall's key for it kept with the program's settings.
    EXPECT_EQ(player.hallAnswer.toStdString(),
              "Entered at rank 1 with " + std::to_string(score) +
                  " (frantic). The name is yours: this hall's key is kept for you (\"Your key\").");
    EXPECT_EQ(HallKey(hall.Url()).size(), 32);
    const QJsonArray scores = hall.Get("api/scores?category=frantic", "scores");
    ASSERT_EQ(scores.size(), 1);
    EXPECT_EQ(scores[0]["name"].toString().toStdString(), "Desk Top");
    EXPECT_EQ(scores[0]["score"].toInt(), score) << "the score the hall replayed";

    // The start waits for the hall to have taken the game's last lines, then restarts.
    PlayAGame();
    EXPECT_TRUE(WaitUntil([this] { return restarts_ == 1; }));
    EXPECT_EQ(play.Recorded(), recorded) << "no game after the hall game in this program";
}

// A game won in the window, its victory dialog asked for a harder next game: the answer is
// written for the frame that won, so the recording replays to the same end in korvane-sim
// and the hall, which replayed it as it came, stores it. The player's inputs are a winning
// player's, worked out headless from the hall's seed as the settings dialog waits.
TEST(HallDesktopWinTest, AGameWonAndMadeHarderInTheWindowReplaysToItsEndAndIsStoredLive) {
    Hall hall;
    ASSERT_TRUE(hall.Listening()) << "korvane-hall did not start";
    // That player loses a game in fifty or so: another ticket, another seed.
    for (int attempt = 0; attempt < 5; ++attempt) {
        Program program;
        HallPlay play(program, hall.Url(), "", {});
        play.SetRestart([] { return true; });
        program.game().Main();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return play.HasTicket(); }, 30000));
        QTest::mouseClick(program.window().controls().button("cmdStart"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return play.LiveSeed().has_value(); }, 30000));
        const std::optional<std::string> inputs = testing::WinningLines(*play.LiveSeed());
        if (!inputs) {
            QApplication::activeModalWidget()->close();  // this game is not played
            ASSERT_TRUE(Settled(program, 30000));
            continue;
        }
        program.shell().Load(script::ParseScript(*inputs));
        Player player(program);  // answers the settings dialog (0 stars) and the rest
        player.plays = false;
        player.harder = true;
        ASSERT_TRUE(Settled(program, 120000));
        const GameState& s = program.game().state();
        ASSERT_GT(s.score, s.winscore - 100) << "the game was won";
        EXPECT_EQ(s.winscore, 599) << "and made harder";

        const std::string recorded = play.Recorded();
        const script::RunResult replay = script::RunScript(recorded, {});
        EXPECT_EQ(replay.exitCode, 0) << replay.desync << replay.error << "\n" << recorded;
        EXPECT_EQ(replay.stop, script::RunStop::Ended);

        ASSERT_TRUE(QTest::qWaitFor([&] { return !player.hallAnswer.isEmpty(); }, 60000));
        EXPECT_TRUE(player.hallAnswer.startsWith("Entered at rank 1 with " +
                                                 QString::number(s.score)))
            << player.hallAnswer.toStdString();
        const QJsonArray scores = hall.Get("api/scores?category=frantic", "scores");
        ASSERT_EQ(scores.size(), 1);
        EXPECT_EQ(scores[0]["score"].toInt(), s.score);
        EXPECT_EQ(scores[0]["winscore"].toInt(), 599) << "the stored game made the next harder";
        return;
    }
    FAIL() << "five seeds in a row that the winning player loses";
}

TEST_F(HallDesktopTest, AGameTheHallRefusesMidwayPlaysOnAndTheHallsDialogSaysWhy) {
    Hall hall;
    ASSERT_TRUE(hall.Listening()) << "korvane-hall did not start";
    HallPlay play(program_, hall.Url(), "", {});
    Show(play);
    ASSERT_TRUE(QTest::qWaitFor([&] { return play.HasTicket(); }, 30000));
    Player player(program_);
    // A line no recording holds, sent to the game as it starts with the player's ticket,
    // ends it for the hall.
    QTimer spoil;
    QObject::connect(&spoil, &QTimer::timeout, [&] {
        if (!program_.game().state().gamerunning || play.LiveId().isEmpty()) return;
        hall.Post("api/live/" + play.LiveId() + "/lines", "print score\n", play.Ticket());
        spoil.stop();
    });
    spoil.start(10);
    PlayAGame();
    EXPECT_GT(program_.game().state().score, 0) << "the game played on";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.hallAnswer.isEmpty(); }, 30000));
    EXPECT_TRUE(player.hallAnswer.startsWith("The hall took no more of this game: "));
    EXPECT_TRUE(player.hallAnswer.contains("(malformed)")) << player.hallAnswer.toStdString();
    EXPECT_TRUE(hall.Get("api/scores?all=1&category=frantic", "scores").isEmpty());
}

TEST_F(HallDesktopTest, AHallThatDoesNotAnswerLeavesTheGamesAsTheyAreWithoutADialog) {
    HallPlay play(program_, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(FreePort())), "", {});
    Show(play);
    Player player(program_);
    PlayAGame();
    EXPECT_GT(program_.game().state().score, 0);
    QCoreApplication::processEvents();  // where an offer of the hall would come
    PlayAGame();
    EXPECT_FALSE(play.HasTicket());
    EXPECT_TRUE(play.LiveId().isEmpty());
    EXPECT_FALSE(player.hallDialogShown);
    EXPECT_EQ(restarts_, 0);
    size_t games = 0;
    for (size_t at = 0;
         (at = play.Recorded().find("\nexpect score ", at + 1)) != std::string::npos;) {
        ++games;
    }
    EXPECT_EQ(games, 2u);
}

// The dialog offers to send only a name the hall's own rule takes, and says why not: here a
// zero-width space, a letter under three marks (NFC joins one), a phrase as one character.
TEST(HallDialogTest, OffersToSendOnlyANameTheHallsRuleTakesAndSaysWhyNot) {
    HallDialog dialog(5, [](const QString&, const HallDialog::Answered&) {});
    auto* name = Child<QLineEdit>(&dialog, "hallName");
    auto* enter = Child<QPushButton>(&dialog, "hallEnter");
    for (const char* refused : {"\u200b", "e\u0301\u0302\u0303", "\ufdfd"}) {
        name->setText(QString::fromUtf8(refused));
        EXPECT_FALSE(enter->isEnabled()) << refused;
        EXPECT_NE(Child<QLabel>(&dialog, "hallAnswer")->text(), "") << refused;
    }
    name->setText(QString::fromUtf8("L\u00ea Vi\u1ec7t"));
    EXPECT_TRUE(enter->isEnabled());
    EXPECT_EQ(Child<QLabel>(&dialog, "hallAnswer")->text(), "");
}

}  // namespace
}  // namespace korvane
