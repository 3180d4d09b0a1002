#include "program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

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
                Form_KeyUp(game_, code, ShiftBits(key->modifiers()));
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
      keyPreview_(window_, game_),
      systemClose_([this] { game_.Form_QueryUnload(UnloadReason::BySystem); }) {
    shell_.AttachGame(game_);
    ConnectButtons();
    window_.controls().Picture1->onMouseUp = [this](int button, int shift, double px, double py) {
        Picture1_MouseUp(game_, button, shift, px, py);
    };
    // The user or the system closing the window ends the program, also during a game.
    window_.onClose = [this] { game_.Form_QueryUnload(UnloadReason::ByUser); };
    qApp->installEventFilter(&keyPreview_);
}

Program::~Program() {
    qApp->removeEventFilter(&keyPreview_);
}

void Program::ConnectButtons() {
    for (size_t b = 0; b < kButtons.size(); ++b) {
        QPushButton* button = window_.controls().buttons[b];
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, b] { Click(game_, kButtons[b]); });
    }
}

}  // namespace korvane
