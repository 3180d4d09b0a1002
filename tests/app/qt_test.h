// What the tests that drive real widgets share: finding a named control, waiting on a
// condition with a deadline, answering a modal window that a call opens ahead of time, and
// acting inside a game's frame loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "program.h"

namespace korvane {

template <typename T = QWidget>
T* Child(const QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

inline bool WaitUntil(const std::function<bool()>& done, int millis = 5000) {
    QDeadlineTimer deadline(millis);
    while (!done() && !deadline.hasExpired()) QTest::qWait(5);
    return done();
}

// The game goes on from the event loop, so a window it opens is answered from there too:
// once a modal window is active, `action` runs on it, once. After ten seconds without one
// the test fails and goes on, so nothing hangs.
inline void AnswerNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(qApp);
    auto deadline = std::make_shared<QDeadlineTimer>(10000);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && !deadline->hasExpired()) return;
        timer->stop();
        timer->deleteLater();
        if (modal) action(modal);
        if (!modal) ADD_FAILURE() << "no modal window appeared";
    });
    timer->start(5);
}

// Whether the game's task (a game, a dialog) has ended within millis.
inline bool Settled(Program& program, int millis = 30000) {
    return WaitUntil([&program] { return !program.shell().Running(); }, millis);
}

// What the player gave while the game waits runs in the next frame's yield: this returns
// once that yield has gone by.
inline bool NextFrame(Program& program) {
    const int64_t frame = program.shell().frame();
    return WaitUntil([&program, frame] { return program.shell().frame() > frame; });
}

// Runs each step inside the game's frame loop, once the play controls are on and the game
// has run on for a moment (0.1 s of its time) after the step before; the last step must end
// the game.
inline void InGame(Program& program, std::vector<std::function<void()>> steps) {
    auto* timer = new QTimer(qApp);
    auto next = std::make_shared<size_t>(0);
    auto since = std::make_shared<double>(-1e9);
    QObject::connect(timer, &QTimer::timeout, timer, [=, &program] {
        timer->stop();  // a step may run a nested loop in which this must not fire
        if (*next == steps.size()) return timer->deleteLater();
        const bool playing = program.game().state().gamerunning &&
                             program.window().controls().button("cmdPhaser")->isEnabled();
        if (playing && program.game().surface().EmulatedMicros() - *since > 100000) {
            steps[(*next)++]();
            *since = program.game().surface().EmulatedMicros();
        }
        timer->start(5);
    });
    timer->start(5);
}

}  // namespace korvane
