#include "dialog_view.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <utility>

#include "game_state.h"
#include "look.h"
#include "outcome_dialog_rules.h"
#include "settings_dialog_rules.h"
#include "sys_info.h"
#include "texts.h"
#include "window_builder.h"
#include "window_descriptions.h"

namespace korvane {

DialogView::DialogView(const Dialog& dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {
    BuildWindow(this, WindowNamed(dialog.window));
    switch (dialog.kind) {
        case DialogKind::Settings:
            WireSettings();
            break;
        case DialogKind::Outcome:
            WireOutcome();
            break;
        case DialogKind::About:
            WireAbout();
            break;
        case DialogKind::MessageBox:  // Qt's own (MakeDialogWindow)
            break;
    }
}

void DialogView::WireSettings() {
    SettingsDialog& rules = *dialog_.settings;
    bar_ = findChild<QScrollBar*>(QStringLiteral("HScroll1"));
    // A fresh bar stands at 0; a step and a page are each one star.
    bar_->setRange(kMinStars, kMaxStars);
    bar_->setPageStep(1);
    // Tab reaches the bar as any scroll bar of a dialog; its keys then move it (see
    // eventFilter), each a change like a click on it.
    bar_->setFocusPolicy(Qt::StrongFocus);
    bar_->installEventFilter(this);
    connect(bar_, &QScrollBar::valueChanged, this, [this, &rules](int value) {
        rules.SetScrollValue(static_cast<int16_t>(value));
        Refresh();
    });
    connect(findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            [this, &rules] {
                rules.Command1_Click();
                Refresh();
            });
    connect(findChild<QPushButton*>(QStringLiteral("cmdOK")), &QPushButton::clicked, this,
            &QDialog::accept);
}

void DialogView::WireOutcome() {
    OutcomeDialog& rules = *dialog_.outcome;
    close_ = findChild<QPushButton*>(QStringLiteral("cmdClose"));
    close_->installEventFilter(this);
    connect(close_, &QPushButton::clicked, this, [this, &rules] {
        if (rules.cmdClose_Click()) accept();
    });
    harder_ = findChild<QPushButton*>(QStringLiteral("cmdChangeWinscore"));
    if (!harder_) return;
    connect(harder_, &QPushButton::clicked, this, [this, &rules] {
        rules.cmdChangeWinscore_Click();
        Refresh();
    });
    setTabOrder(close_, harder_);
}

void DialogView::WireAbout() {
    launch_ = [](const QString& program) { return QProcess::startDetached(program, {}); };
    connect(findChild<QPushButton*>(QStringLiteral("cmdOK")), &QPushButton::clicked, this,
            &QDialog::accept);
    if (auto* sysInfo = findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))) {
        connect(sysInfo, &QPushButton::clicked, this, &DialogView::StartSysInfo);
    }
}

void DialogView::Load() {
    if (dialog_.settings) dialog_.settings->Form_Load();
    if (dialog_.outcome) dialog_.outcome->Form_Load();
    Refresh();
}

void DialogView::Refresh() {
    // Moving the bar to where the rules left it raises valueChanged once more, which the
    // rules see as no change.
    if (bar_ && bar_->value() != dialog_.settings->scrollValue()) {
        bar_->setValue(dialog_.settings->scrollValue());
    }
    if (harder_) harder_->setEnabled(dialog_.outcome->changeWinscoreEnabled());
}

void DialogView::StartSysInfo() {
    const QString program = FindSysInfoProgram(searchPath_);
    if (program.isEmpty()) {
        // The About box's own message, over it; nothing waits for it.
        QDialog* box = look::MakeMessage(this, QString::fromLatin1(texts::kSysInfoUnavailable)).release();
        connect(box, &QDialog::finished, box, &QObject::deleteLater);
        box->open();
        return;
    }
    // A program that will not start fails quietly, as any error here does.
    launch_(program);
}

bool DialogView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // Every key press on OK reaches the rules before the button sees it: a space press
    // disarms the click that the button makes of it when the space bar comes up.
    if (watched == close_) {
        if (key->text().size() == 1) dialog_.outcome->cmdClose_KeyPress(key->text().at(0).unicode());
        return QDialog::eventFilter(watched, event);
    }
    if (watched != bar_) return QDialog::eventFilter(watched, event);
    // A scroll bar's keys: left and up step towards 0, right and down towards 500, a page
    // likewise, Home and End to the ends. Qt's own mapping turns some of them around.
    using A = QAbstractSlider;
    static constexpr std::pair<int, A::SliderAction> kKeys[] = {
        {Qt::Key_Left, A::SliderSingleStepSub},  {Qt::Key_Up, A::SliderSingleStepSub},
        {Qt::Key_Right, A::SliderSingleStepAdd}, {Qt::Key_Down, A::SliderSingleStepAdd},
        {Qt::Key_PageUp, A::SliderPageStepSub},  {Qt::Key_PageDown, A::SliderPageStepAdd},
        {Qt::Key_Home, A::SliderToMinimum},      {Qt::Key_End, A::SliderToMaximum}};
    for (const auto& [k, action] : kKeys) {
        if (k != key->key()) continue;
        bar_->triggerAction(action);
        return true;
    }
    return false;
}

void DialogView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && dialog_.kind != DialogKind::About) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::unique_ptr<QDialog> MakeDialogWindow(const Dialog& dialog, QWidget* parent) {
    if (dialog.kind == DialogKind::MessageBox) {
        return look::MakeMessage(parent, QString::fromStdString(dialog.text));
    }
    return std::make_unique<DialogView>(dialog, parent);
}

}  // namespace korvane
