#include "replayer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>

#include "game.h"
#include "game_lines.h"
#include "main_window_view.h"

namespace korvane {

namespace {

// Long enough to see a dialog or the end of a game, short enough not to bore.
constexpr int kPauseMillis = 1000;

bool IsPlayerInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return true;
        default:
            return false;
    }
}

bool ClickChild(QWidget* parent, const char* name) {
    auto* button =
        parent ? parent->findChild<QAbstractButton*>(QString::fromLatin1(name)) : nullptr;
    if (!button) return false;
    button->click();
    return true;
}

}  // namespace

Replayer::Replayer(Program& program, std::vector<script::ScriptLine> lines)
    : program_(program), lines_(std::move(lines)) {
    program_.shell().SetTap(this);
    // Before the game's own key handling, so that the player's keys never reach it.
    qApp->installEventFilter(this);
}

Replayer::~Replayer() {
    qApp->removeEventFilter(this);
    program_.shell().SetTap(nullptr);
}

void Replayer::Begin() {
    QTimer::singleShot(kPauseMillis, this, [this] { RunIdleLines(); });
}

void Replayer::YieldBegins() {
    ++frame_;
    while (next_ < lines_.size() && lines_[next_].at && *lines_[next_].at <= frame_) {
        RunLine(lines_[next_++]);
    }
}

void Replayer::RunIdleLines() {
    while (next_ < lines_.size()) {
        const int64_t before = frame_;
        RunLine(lines_[next_++]);
        if (frame_ != before) {
            QTimer::singleShot(kPauseMillis, this, [this] { RunIdleLines(); });
            return;
        }
    }
    QTimer::singleShot(2 * kPauseMillis, this, [this] { End(); });
}

void Replayer::RunLine(const script::ScriptLine& line) {
    Game& game = program_.game();
    if (script::RunGameLine(game, line, [this](const std::string& text) { Print(text); })) return;
    MainWindow& window = program_.window();
    const std::string& c = line.command;
    if (c == "click") {
        // A disabled button ignores the click, as it does for the player.
        auto* button = window.findChild<QPushButton*>(QString::fromStdString(line.args[0]));
        if (button) button->click();
    } else if (c == "minimise") {
        window.showMinimized();
    } else if (c == "restore") {
        window.showNormal();
    } else if (c == "close") {
        window.close();
    } else if (c == "stars") {
        starsAnswer_ = std::stoi(line.args[0]);
    } else if (c == "default-stars") {
        starsAnswer_ = -2;
    } else if (c == "harder") {
        harder_ = true;
    } else if (c == "seed") {
        seed_ = *script::ParseSeed(line.args[0]);
    } else if (c == "screensize") {
        screen_ = *script::ParseScreenSize(line.args[0]);
    } else if (c == "expect") {
        if (const auto desync = script::Desync(game.state(), line)) {
            std::fprintf(stderr, "korvane: line %d: frame %lld: desync %s\n", line.lineNumber,
                         static_cast<long long>(frame_), desync->c_str());
        }
    }
    // screen (a picture file) is left to korvane-sim.
}

void Replayer::Print(const std::string& what) {
    std::printf("%lld %s\n", static_cast<long long>(frame_), what.c_str());
    std::fflush(stdout);
}

void Replayer::AnswerDialog(QDialog& dialog) {
    const QString name = dialog.objectName();
    if (name == QLatin1String("frmStart")) {
        auto* bar = dialog.findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        if (starsAnswer_ >= 0 && bar) bar->setValue(starsAnswer_);
        if (starsAnswer_ == -2) ClickChild(&dialog, "Command1");
    } else if (name == QLatin1String("frmUWin") && harder_) {
        harder_ = false;
        ClickChild(&dialog, "cmdChangeWinscore");
    }
    QPointer<QDialog> shown(&dialog);
    QTimer::singleShot(kPauseMillis, &dialog, [shown] {
        if (shown && !ClickChild(shown, "cmdOK") && !ClickChild(shown, "cmdClose")) {
            shown->accept();
        }
    });
}

void Replayer::End() {
    program_.shell().EndProgram();
}

bool Replayer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow()) AnswerDialog(*dialog);
        return false;
    }
    if (!event->spontaneous()) return false;
    // The player closing a dialog with its close box ends the replay, as closing the main
    // window does (through the window's own close handler).
    if (type == QEvent::Close && qobject_cast<QDialog*>(watched)) End();
    if (type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Q && !key->isAutoRepeat()) End();
    }
    return IsPlayerInput(type);
}

}  // namespace korvane
