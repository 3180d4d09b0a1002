// What the tests that drive real widgets share: finding a named control, waiting on a
// condition with a deadline, and answering a modal window that a call opens ahead of time.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

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

// A modal window's exec() does not return until it is closed, so a test answers it ahead of
// time: once a modal window is active, `action` runs on it, once. After ten seconds without
// one the test fails and goes on, so nothing hangs.
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

}  // namespace korvane
