#pragma once
// Helpers for driving real widgets in the offscreen platform.

#include <QApplication>
#include <QPushButton>
#include <QString>
#include <functional>

namespace korvane::testing {

// A modal window's exec() does not return until it is closed, so a test answers it ahead of
// time: once a modal window (with the given object name, when one is given) is active, the
// action runs on it, once. Gives up after a few seconds with a test failure and closes
// whatever modal window is open, so that a missing dialog fails instead of hanging.
void AnswerNextModal(std::function<void(QWidget*)> action, const QString& objectName = {});

// Runs check repeatedly from the event loop until it returns true (then stops); used to act
// inside a running game's frame loop once the game has reached a wanted point.
void WhenTrue(std::function<bool()> check);

// No caption or label of the window is clipped by its box: the wrapped text's ink stays
// inside it.
void ExpectTextsFit(const QWidget* window);

// The child widget of that name; fails the test when there is none.
template <typename T = QWidget>
T* Child(const QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

}  // namespace korvane::testing
