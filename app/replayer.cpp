#include "replayer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "game.h"
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
    AttachGame(program_.game());
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
        Run(lines_[next_++]);
    }
}

void Replayer::RunIdleLines() {
    while (next_ < lines_.size()) {
        const int64_t before = frame_;
        Run(lines_[next_++]);
        if (frame_ != before) {
            QTimer::singleShot(kPauseMillis, this, [this] { RunIdleLines(); });
            return;
        }
    }
    QTimer::singleShot(2 * kPauseMillis, this, [this] { End(); });
}

void Replayer::ClickButton(const ButtonInfo& button) {
    // A disabled button ignores the click, as it does for the player.
    if (auto* b = program_.window().controls().button(button.name)) b->click();
}

void Replayer::SetMinimised(bool minimised) {
    if (minimised) {
        program_.window().showMinimized();
    } else {
        program_.window().showNormal();
    }
}

void Replayer::CloseMainWindow() {
    program_.window().close();
}

void Replayer::AnswerDialog(QDialog& dialog) {
    const QString name = dialog.objectName();
    if (name == QLatin1String("frmStart")) {
        auto* bar = dialog.findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        if (starsAnswer() == StarsAnswer::Count && bar) bar->setValue(starsCount());
        if (starsAnswer() == StarsAnswer::Default) ClickChild(&dialog, "Command1");
    } else if (name == QLatin1String("frmUWin") && TakeHarder()) {
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
