#include "test_support.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QTimer>
#include <memory>

namespace korvane::testing {

namespace {
constexpr int kPollMillis = 5;
constexpr int kGiveUpMillis = 10000;
}  // namespace

void AnswerNextModal(std::function<void(QWidget*)> action, const QString& objectName) {
    auto* timer = new QTimer(qApp);
    auto deadline = std::make_shared<QDeadlineTimer>(kGiveUpMillis);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && (objectName.isEmpty() || modal->objectName() == objectName)) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        if (deadline->hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window " << objectName.toStdString() << " appeared";
            if (modal) modal->close();
        }
    });
    timer->start(kPollMillis);
}

void WhenTrue(std::function<bool()> check) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        // Stop first: check may run a nested loop (a click that stops a game) in which this
        // timer must not fire again.
        timer->stop();
        if (check()) {
            timer->deleteLater();
        } else {
            timer->start(kPollMillis);
        }
    });
    timer->start(kPollMillis);
}

}  // namespace korvane::testing
