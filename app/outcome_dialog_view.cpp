#include "outcome_dialog_view.h"

#include <QKeyEvent>
#include <QPushButton>

#include "window_builder.h"
#include "window_descriptions.h"

namespace korvane {

FrmOutcome::FrmOutcome(OutcomeDialog& model, QWidget* parent) : QDialog(parent), model_(model) {
    BuildWindow(this, WindowNamed(OutcomeName(model.kind())));
    close_ = findChild<QPushButton*>(QStringLiteral("cmdClose"));
    close_->installEventFilter(this);
    connect(close_, &QPushButton::clicked, this, [this] {
        if (model_.cmdClose_Click()) accept();
    });

    harder_ = findChild<QPushButton*>(QStringLiteral("cmdChangeWinscore"));
    if (harder_) {
        connect(harder_, &QPushButton::clicked, this, [this] {
            model_.cmdChangeWinscore_Click();
            Refresh();
        });
        setTabOrder(close_, harder_);
    }
}

void FrmOutcome::Load() {
    model_.Form_Load();
}

void FrmOutcome::Refresh() {
    if (harder_) harder_->setEnabled(model_.changeWinscoreEnabled());
}

bool FrmOutcome::eventFilter(QObject* watched, QEvent* event) {
    // Every key press on OK reaches the rules before the button sees it: a space press
    // disarms the click that the button makes of it when the space bar comes up.
    if (watched == close_ && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1) model_.cmdClose_KeyPress(text.at(0).unicode());
    }
    return QDialog::eventFilter(watched, event);
}

void FrmOutcome::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace korvane
