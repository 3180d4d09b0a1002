#include "program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "buttons.h"
#include "commands.h"
#include "key_codes.h"
#include "viewscreen.h"

namespace korvane {

namespace {

// The keys with which a focused button would press itself.
bool IsButtonPressKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Select;
}

}  // namespace

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
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
                keyUp_(code, ShiftBits(key->modifiers()));
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
      keyPreview_(window_, [this](int code, int shift) { KeyUp(code, shift); }),
      systemClose_([this] { game_.Form_QueryUnload(UnloadReason::BySystem); }) {
    shell_.AttachGame(game_);
    ConnectButtons();
    window_.controls().Picture1->onMouseUp = [this](int button, int shift, double px, double py) {
        // A script names the pixel the game takes the position for.
        const auto pixel = [](double v) {
            return std::to_string(std::clamp(std::lround(v), -32768L, 32767L));
        };
        Handle("mouseup " + std::to_string(button) + " " + pixel(px) + " " + pixel(py),
               [=, this] { Picture1_MouseUp(game_, button, shift, px, py); });
    };
    // The user or the system closing the window ends the program, also during a game.
    window_.onClose = [this] {
        Handle("close", [this] { game_.Form_QueryUnload(UnloadReason::ByUser); });
    };
    qApp->installEventFilter(&keyPreview_);
}

Program::~Program() {
    qApp->removeEventFilter(&keyPreview_);
}

void Program::KeyUp(int virtualKey, int shift) {
    Handle("keyup " + std::to_string(virtualKey),
           [this, virtualKey, shift] { Form_KeyUp(game_, virtualKey, shift); });
}

void Program::Handle(const std::string& command, const std::function<void()>& handler) {
    if (commandGate_ && !commandGate_(command)) return;
    if (commandTap_) commandTap_->Before(command);
    handler();
    if (commandTap_) commandTap_->After();
}

void Program::ConnectButtons() {
    for (size_t b = 0; b < kButtons.size(); ++b) {
        QPushButton* button = window_.controls().buttons[b];
        QObject::connect(button, &QPushButton::clicked, button, [this, b] {
            Handle(std::string("click ") + kButtons[b].name,
                   [this, b] { Click(game_, kButtons[b]); });
        });
    }
}

}  // namespace korvane
