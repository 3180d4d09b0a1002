#include "recorder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <cerrno>
#include <cstring>

#include "script.h"

namespace korvane {

Recorder::Recorder(Program& program, const std::string& path, script::Recording::Writer copy)
    : program_(program),
      path_(path),
      file_(path.empty() ? nullptr : std::fopen(path.c_str(), "w")),
      copy_(std::move(copy)),
      recording_(program.game(), [this](const std::string& line) { Write(line); }) {
    if (!path.empty() && !file_) {
        std::fprintf(stderr, "korvane: cannot record to %s: %s; the game plays unrecorded\n",
                     script::Quoted(path).c_str(), std::strerror(errno));
    }
    if (!file_ && !copy_) return;
    program_.shell().SetTap(this);
    program_.SetCommandTap(this);
    qApp->installEventFilter(this);
}

Recorder::~Recorder() {
    qApp->removeEventFilter(this);
    program_.SetCommandTap(nullptr);
    program_.shell().SetTap(nullptr);
    if (file_) std::fclose(file_);
}

void Recorder::Write(const std::string& line) {
    if (copy_) copy_(line);
    if (!file_) return;
    // Line by line, so that what was played survives a crash.
    if (std::fputs((line + "\n").c_str(), file_) < 0 || std::fflush(file_) != 0) {
        std::fprintf(stderr, "korvane: cannot record to %s: %s; the game plays on unrecorded\n",
                     script::Quoted(path_).c_str(), std::strerror(errno));
        std::fclose(file_);
        file_ = nullptr;
    }
}

ScreenSize Recorder::ScreenSeen(ScreenSize real) {
    const ScreenSize seen = ahead_ ? ahead_->ScreenSeen(real) : real;
    recording_.ScreenSeen(seen);
    return seen;
}

uint64_t Recorder::SeedSeen(uint64_t clockSeed) {
    const uint64_t seed = ahead_ ? ahead_->SeedSeen(clockSeed) : clockSeed;
    recording_.SeedSeen(seed);
    return seed;
}

bool Recorder::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isWindow()) return false;
    const QString name = widget->objectName();
    switch (event->type()) {
        case QEvent::WindowStateChange:
            if (widget == &program_.window()) recording_.MinimisedChanged(widget->isMinimized());
            break;
        case QEvent::Show:
            // The dialogs' own handlers are connected first, so these see the choice made.
            if (name == QLatin1String("frmStart")) {
                if (auto* bar = widget->findChild<QScrollBar*>(QStringLiteral("HScroll1"))) {
                    connect(bar, &QScrollBar::valueChanged, widget,
                            [this] { recording_.StarsMoved(); });
                }
                if (auto* b = widget->findChild<QAbstractButton*>(QStringLiteral("Command1"))) {
                    connect(b, &QAbstractButton::clicked, widget,
                            [this] { recording_.DefaultStarsPressed(); });
                }
            } else if (name == QLatin1String("frmUWin")) {
                if (auto* b =
                        widget->findChild<QAbstractButton*>(QStringLiteral("cmdChangeWinscore"))) {
                    connect(b, &QAbstractButton::clicked, widget,
                            [this] { recording_.HarderPressed(); });
                }
            }
            break;
        case QEvent::Hide:
            if (name == QLatin1String("frmStart")) recording_.SettingsClosed();
            if (name == QLatin1String("frmUWin")) recording_.VictoryClosed();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace korvane
