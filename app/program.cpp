#include "program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "buttons.h"
#include "command_table.h"
#include "hall_dialog.h"
#include "key_codes.h"
#include "viewscreen.h"

namespace korvane {

namespace {

using script::MakeLine;
namespace cmd = script::cmd;

// Long enough to see the end of a game replayed, short enough not to bore.
constexpr int kReplayPauseMillis = 1000;

bool IsPlayerInput(QEvent::Type type) {
    using E = QEvent;
    return type == E::KeyPress || type == E::KeyRelease || type == E::ShortcutOverride ||
           type == E::MouseButtonPress || type == E::MouseButtonRelease ||
           type == E::MouseButtonDblClick || type == E::Wheel;
}

// The keys with which a focused button would press itself.
bool IsButtonPressKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Select;
}

}  // namespace

bool KeyPreview::FilterReplay(QObject* watched, QEvent* event) {
    if (!event->spontaneous()) return false;
    // The hall's dialog after a hall game played from a recording is not the game's: the
    // player gives it a name. While it is open, no other window takes input anyway.
    if (dynamic_cast<HallDialog*>(QApplication::activeModalWidget())) return false;
    const QEvent::Type type = event->type();
    // The player closing a dialog with its close box ends the replay, as closing the main
    // window does (through the window's own close handler).
    if (type == QEvent::Close && qobject_cast<QDialog*>(watched)) endReplay();
    if (type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Q && !key->isAutoRepeat()) endReplay();
    }
    return IsPlayerInput(type);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (endReplay) return FilterReplay(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only the main window's own keys; a modal dialog keeps its keys to itself.
    if (!widget || widget->window() != &window_) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyRelease) {
        // Holding a key down makes releases too; only the real one counts.
        if (!key->isAutoRepeat()) {
            if (const int code = VirtualKeyFromQt(key->key()); code != 0) {
                keyUp_(code);
            }
        }
        // The window has dealt with the release; no control acts on it.
        return true;
    }
    return qobject_cast<QAbstractButton*>(widget) != nullptr && IsButtonPressKey(key->key());
}

Program::Program()
    : shell_(window_),
      game_(shell_),
      keyPreview_(window_, [this](int code) { KeyUp(code); }),
      systemClose_([this] {
          // Whatever the game waits on: the unload ends the program before it returns.
          Task unload = game_.Form_QueryUnload(UnloadReason::BySystem);
          unload.Start();
      }) {
    shell_.AttachGame(game_);
    ConnectButtons();
    window_.controls().Picture1->onMouseUp = [this](int button, double px, double py) {
        // A script names the pixel the game takes the position for.
        const auto pixel = [](double v) {
            return std::to_string(std::clamp(std::lround(v), -32768L, 32767L));
        };
        shell_.Give(MakeLine(cmd::kMouseUp, {std::to_string(button), pixel(px), pixel(py)}));
    };
    // The user or the system closing the window ends the program, also during a game.
    window_.onClose = [this] { shell_.Give(MakeLine(cmd::kClose)); };
    window_.onMinimisedChanged = [this](bool minimised) { game_.Form_Resize(minimised); };
    qApp->installEventFilter(&keyPreview_);
}

Program::~Program() {
    qApp->removeEventFilter(&keyPreview_);
}

void Program::KeyUp(int virtualKey) {
    shell_.Give(MakeLine(cmd::kKeyUp, {std::to_string(virtualKey)}));
}

void Program::ConnectButtons() {
    for (size_t b = 0; b < kButtons.size(); ++b) {
        QPushButton* button = window_.controls().buttons[b];
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, b] { shell_.Give(MakeLine(cmd::kClick, {kButtons[b].name})); });
    }
}

void Program::Replay(std::vector<script::ScriptLine> lines) {
    shell_.Load(std::move(lines));
    keyPreview_.endReplay = [] { QtShell::EndNow(); };
    QTimer::singleShot(kReplayPauseMillis, &window_, [this] { RunReplayIdleLines(); });
}

void Program::RunReplayIdleLines() {
    // The replay closes the game's dialogs itself; another one open (the hall's, after a
    // hall game) is the player's, and the replay waits for it to close.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(kReplayPauseMillis, &window_, [this] { RunReplayIdleLines(); });
        return;
    }
    if (shell_.Running()) {
        shell_.WhenSettled([this] { RunReplayIdleLines(); });
        return;
    }
    while (shell_.HasIdleLine()) {
        const int64_t before = shell_.frame();
        shell_.Begin(shell_.RunNextIdleLine());
        if (shell_.Running()) {
            // A start: the game plays on from the event loop; the next line waits for its end.
            shell_.WhenSettled([this, before] { AfterIdleLine(before); });
            return;
        }
        if (shell_.frame() != before) return AfterIdleLine(before);
    }
    QTimer::singleShot(2 * kReplayPauseMillis, &window_, [] { QtShell::EndNow(); });
}

void Program::AfterIdleLine(int64_t framesBefore) {
    // After a game, a pause, so that the viewer sees its end.
    const int pause = shell_.frame() != framesBefore ? kReplayPauseMillis : 0;
    QTimer::singleShot(pause, &window_, [this] { RunReplayIdleLines(); });
}

}  // namespace korvane
