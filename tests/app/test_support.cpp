#include "test_support.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "look.h"

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

void ExpectTextsFit(const QWidget* window) {
    // The wrapping widgets have no meta-object of their own, so find them by their C++ type.
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (auto* b = dynamic_cast<WrapButton*>(button)) {
            EXPECT_TRUE(look::TextFitsBox(b->font(), b->text(), b->TextArea().size()))
                << b->objectName().toStdString() << " \"" << b->text().toStdString() << "\"";
        }
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (auto* l = dynamic_cast<WrapLabel*>(label)) {
            EXPECT_LE(l->InkBottom(), l->height()) << l->objectName().toStdString();
        }
    }
}

}  // namespace korvane::testing
