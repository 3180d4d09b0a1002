#include "settings_dialog_view.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <utility>

#include "game_state.h"
#include "settings_dialog_rules.h"
#include "window_builder.h"
#include "window_descriptions.h"

namespace korvane {

SettingsDialogView::SettingsDialogView(SettingsDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    BuildWindow(this, WindowNamed("frmStart"));
    auto* restore = findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* ok = findChild<QPushButton*>(QStringLiteral("cmdOK"));
    bar_ = findChild<QScrollBar*>(QStringLiteral("HScroll1"));
    // A fresh bar stands at 0; a step and a page are each one star.
    bar_->setRange(kMinStars, kMaxStars);
    bar_->setPageStep(1);
    // Tab reaches the bar as any scroll bar of a dialog; its keys then move it (see
    // eventFilter), each a change like a click on it.
    bar_->setFocusPolicy(Qt::StrongFocus);
    bar_->installEventFilter(this);

    connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
        model_.SetScrollValue(static_cast<int16_t>(value));
        Refresh();
    });
    connect(restore, &QPushButton::clicked, this, [this] {
        model_.Command1_Click();
        Refresh();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void SettingsDialogView::Load() {
    model_.Form_Load();
    Refresh();
}

void SettingsDialogView::Refresh() {
    // Moving the bar to where the rules left it raises valueChanged once more, which the
    // rules see as no change.
    if (bar_->value() != model_.scrollValue()) bar_->setValue(model_.scrollValue());
}

bool SettingsDialogView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != bar_ || event->type() != QEvent::KeyPress) return false;
    // A scroll bar's keys: left and up step towards 0, right and down towards 500, a page
    // likewise, Home and End to the ends. Qt's own mapping turns some of them around.
    using A = QAbstractSlider;
    static constexpr std::pair<int, A::SliderAction> kKeys[] = {
        {Qt::Key_Left, A::SliderSingleStepSub},  {Qt::Key_Up, A::SliderSingleStepSub},
        {Qt::Key_Right, A::SliderSingleStepAdd}, {Qt::Key_Down, A::SliderSingleStepAdd},
        {Qt::Key_PageUp, A::SliderPageStepSub},  {Qt::Key_PageDown, A::SliderPageStepAdd},
        {Qt::Key_Home, A::SliderToMinimum},      {Qt::Key_End, A::SliderToMaximum}};
    const int key = static_cast<QKeyEvent*>(event)->key();
    for (const auto& [k, action] : kKeys) {
        if (k != key) continue;
        bar_->triggerAction(action);
        return true;
    }
    return false;
}

void SettingsDialogView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace korvane
