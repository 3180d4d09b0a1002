#include "main_window_view.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "viewscreen.h"
#include "window_builder.h"
#include "window_descriptions.h"

namespace korvane {

MainWindow::MainWindow() {
    BuildWindow(this, WindowNamed("frmKorvane"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    const auto named = [this](const std::string& name) {
        return findChild<QWidget*>(QString::fromStdString(name));
    };
    c_.Picture1 = static_cast<Viewscreen*>(named("Picture1"));
    for (size_t i = 0; i < c_.options.size(); ++i) {
        c_.options[i] = static_cast<QRadioButton*>(named("Option" + std::to_string(i + 1)));
    }
    for (size_t b = 0; b < kButtons.size(); ++b) {
        c_.buttons[b] = static_cast<QPushButton*>(named(kButtons[b].name));
    }
    ResetControls();
}

QPushButton* MainWindowControls::button(std::string_view name) const {
    return buttons[static_cast<size_t>(FindButton(name) - kButtons.data())];
}

void MainWindow::SetPlayControlsEnabled(bool enabled) {
    for (size_t b = 0; b < kButtons.size(); ++b) {
        if (kButtons[b].playControl) c_.buttons[b]->setEnabled(enabled);
    }
}

void MainWindow::ResetControls() {
    SetPlayControlsEnabled(false);
    for (QRadioButton* option : c_.options) option->setChecked(false);
    for (QLineEdit* readout : findChildren<QLineEdit*>()) readout->clear();
    c_.button("cmdSound")->setText(QString::fromLatin1(FindButton("cmdSound")->caption));
    c_.Picture1->setFocus(Qt::OtherFocusReason);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && onMinimisedChanged) {
        onMinimisedChanged(isMinimized());
    }
    QWidget::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing ends the program at once, even during a game; nothing cancels it.
    if (onClose) onClose();
    event->accept();
}

}  // namespace korvane
