#include "recorder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "game.h"
#include "script.h"
#include "state_names.h"

namespace korvane {

namespace {

// What a replay checks after every game: where everything stood when its loop ended.
const char* const kExpected[] = {"score",  "highscore", "gametime", "x",       "crossx",
                                 "crossy", "cubex",     "cubey",    "winscore"};

}  // namespace

Recorder::Recorder(Program& program, const std::string& path) : program_(program), path_(path) {
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        std::fprintf(stderr, "korvane: cannot record to %s: %s; the game plays unrecorded\n",
                     script::Quoted(path).c_str(), std::strerror(errno));
        return;
    }
    Write("# A game of Korvane, recorded. Check it with: korvane-sim FILE");
    Write("# Watch it with: korvane --replay FILE");
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

std::string Recorder::Prefix() {
    const bool inLoop =
        inYield_ > 0 || (program_.game().state().gamerunning && frame_ > startFrame_);
    if (!inLoop) return "";
    // Between two yields (a flash on the viewscreen) the game has already looked at the
    // window for this frame: what happens now counts from the next yield.
    lastAt_ = std::max(lastAt_, inYield_ > 0 ? frame_ : frame_ + 1);
    return "at " + std::to_string(lastAt_) + " ";
}

void Recorder::Write(const std::string& line) {
    if (!file_) return;
    // Line by line, so that what was played survives a crash.
    if (std::fputs((line + "\n").c_str(), file_) < 0 || std::fflush(file_) != 0) {
        std::fprintf(stderr, "korvane: cannot record to %s: %s; the game plays on unrecorded\n",
                     script::Quoted(path_).c_str(), std::strerror(errno));
        std::fclose(file_);
        file_ = nullptr;
    }
}

void Recorder::WritePendingClick() {
    if (pendingClick_.empty()) return;
    Write(pendingClick_);
    pendingClick_.clear();
}

void Recorder::Before(const std::string& command) {
    ++commandDepth_;
    WritePendingClick();
    if (command != "click cmdStart") {
        Write(Prefix() + command);
        return;
    }
    // A start writes what it sees (screen size, star count, seed) before its click.
    pendingClick_ = Prefix() + command;
    if (!program_.game().state().gamerunning) {
        startFrame_ = frame_;
        if (commandDepth_ == 1) idleStart_ = true;
    }
}

void Recorder::After() {
    WritePendingClick();
    if (--commandDepth_ > 0 || !idleStart_) return;
    idleStart_ = false;
    if (frame_ > startFrame_) WriteExpectations();
}

void Recorder::YieldBegins() {
    ++frame_;
    ++inYield_;
    WritePendingClick();
}

ScreenSize Recorder::ScreenSeen(ScreenSize real) {
    if (!program_.game().state().gamerunning || real.width != screen_.width ||
        real.height != screen_.height) {
        Write(Prefix() + "screensize " + std::to_string(real.width) + "x" +
              std::to_string(real.height));
        screen_ = real;
    }
    return real;
}

uint64_t Recorder::SeedSeen(uint64_t clockSeed) {
    Write(Prefix() + "seed " + std::to_string(clockSeed));
    return clockSeed;
}

void Recorder::WriteExpectations() {
    std::vector<StateVar> names = NameTable(program_.game().state());
    for (const char* name : kExpected) {
        Write(std::string("expect ") + name + " " + FormatStateVar(*FindStateVar(names, name)));
    }
    // korvane-sim stops at 100000 frames unless told otherwise (--max-frames).
    Write("# " + std::to_string(frame_) + " frames so far");
}

bool Recorder::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isWindow()) return false;
    const QString name = widget->objectName();
    switch (event->type()) {
        case QEvent::WindowStateChange:
            if (widget == &program_.window() && widget->isMinimized() != minimised_) {
                minimised_ = widget->isMinimized();
                Write(Prefix() + (minimised_ ? "minimise" : "restore"));
            }
            break;
        case QEvent::Show:
            // The dialogs' own handlers are connected first, so these see the choice made.
            if (name == QLatin1String("frmStart")) {
                defaultPressed_ = false;
                if (auto* bar = widget->findChild<QScrollBar*>(QStringLiteral("HScroll1"))) {
                    connect(bar, &QScrollBar::valueChanged, widget,
                            [this] { defaultPressed_ = false; });
                }
                if (auto* b = widget->findChild<QAbstractButton*>(QStringLiteral("Command1"))) {
                    connect(b, &QAbstractButton::clicked, widget,
                            [this] { defaultPressed_ = true; });
                }
            } else if (name == QLatin1String("frmUWin")) {
                harderPressed_ = false;
                if (auto* b =
                        widget->findChild<QAbstractButton*>(QStringLiteral("cmdChangeWinscore"))) {
                    connect(b, &QAbstractButton::clicked, widget,
                            [this] { harderPressed_ = true; });
                }
            }
            break;
        case QEvent::Hide:
            if (name == QLatin1String("frmStart")) {
                Write(Prefix() +
                      (defaultPressed_
                           ? std::string("default-stars")
                           : "stars " + std::to_string(program_.game().state().numberofstars)));
            } else if (name == QLatin1String("frmUWin") && harderPressed_) {
                // Given in the yield of the frame that won, so that its victory dialog uses it.
                harderPressed_ = false;
                lastAt_ = std::max(lastAt_, frame_);
                Write("at " + std::to_string(lastAt_) + " harder");
            }
            break;
        default:
            break;
    }
    return false;
}

}  // namespace korvane
