#include "gamepads.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "program.h"

namespace korvane {

namespace {

// A key pressed and released on target, as the keyboard would deliver it there.
void TypeKey(QWidget* target, Qt::Key key) {
    QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (!guard) return;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

}  // namespace

Gamepads::Gamepads(Program& program)
    : program_(program), reader_([this](pad::Control control) {
          // After the reader's poll has returned: a command may open a window or run a
          // whole game, and the pads must go on being read meanwhile.
          QMetaObject::invokeMethod(
              this, [this, control] { Act(control); }, Qt::QueuedConnection);
      }) {}

void Gamepads::Act(pad::Control control) {
    // A key released during a flash or a sound the game waits for is handled after it; a
    // pad's release waits the same way, so that it reaches the game at a frame's yield.
    if (program_.shell().HoldsPlayerInput()) {
        QTimer::singleShot(1, this, [this, control] { Act(control); });
        return;
    }
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        ActInDialog(dialog, control);
        return;
    }
    MainWindow& window = program_.window();
    if (!window.isVisible() || window.isMinimized()) return;
    const pad::PadCommand* command = pad::CommandFor(control);
    if (!command) return;
    if (command->keyCode != 0) {
        program_.KeyUp(command->keyCode);
    } else if (QPushButton* button = window.controls().button(command->button)) {
        button->click();
    }
}

void Gamepads::ActInDialog(QWidget* dialog, pad::Control control) {
    const int key = pad::DialogKeyFor(control);
    if (key == pad::kEnterKey) {
        QWidget* focus = dialog->focusWidget();
        TypeKey(focus ? focus : dialog, Qt::Key_Return);
    } else if (key != 0) {
        // The arrows work the dialog's scroll bar (the star count) wherever the focus is:
        // a pad has no Tab to reach it.
        auto* bar = dialog->findChild<QScrollBar*>();
        if (bar && bar->isEnabled())
            TypeKey(bar, key == keycode::kLeft ? Qt::Key_Left : Qt::Key_Right);
    }
}

}  // namespace korvane
