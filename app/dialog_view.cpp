#include "dialog_view.h"

#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <utility>

#include "dialog_rules.h"
#include "look.h"
#include "sys_info.h"
#include "texts.h"
#include "window_builder.h"
#include "window_descriptions.h"

namespace korvane {

DialogView::DialogView(const Dialog& dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {
    BuildWindow(this, WindowNamed(dialog.window));
    launch_ = [](const QString& program) { return QProcess::startDetached(program, {}); };
    for (QScrollBar* bar : findChildren<QScrollBar*>()) {
        // Tab reaches a bar as any scroll bar of a dialog; its keys then move it (see
        // eventFilter), each a change like a click on it.
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->installEventFilter(this);
        connect(bar, &QScrollBar::valueChanged, this, [this, name = bar->objectName()](int value) {
            Handle(name, "_Change", value);
        });
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        const QString name = button->objectName();
        // The system's own information program: the desktop's, not the game's rules.
        if (name == QLatin1String("cmdSysInfo")) {
            connect(button, &QPushButton::clicked, this, &DialogView::StartSysInfo);
            continue;
        }
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, name] { Handle(name, "_Click"); });
    }
}

void DialogView::Handle(const QString& control, const char* event, int value) {
    const std::string handler = control.toStdString() + event;
    // A window without rules (the About box) has only its OK to close it.
    const bool closes = dialog_.rules ? dialog_.rules->Handle(handler, value)
                                      : handler == "cmdOK_Click";
    if (closes) {
        accept();
        return;
    }
    Refresh();
}

void DialogView::Load() {
    if (dialog_.rules) dialog_.rules->Form_Load();
    Refresh();
}

void DialogView::Refresh() {
    if (!dialog_.rules) return;
    // Moving a bar to where the rules left it raises valueChanged once more, which the rules
    // see as no change.
    for (QScrollBar* bar : findChildren<QScrollBar*>()) {
        const int value = dialog_.rules->ValueOf(bar->objectName().toStdString());
        if (bar->value() != value) bar->setValue(value);
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setEnabled(dialog_.rules->IsEnabled(button->objectName().toStdString()));
    }
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
    // Every key press on a button reaches the rules before the button sees it: a space
    // press on an outcome's OK disarms the click that the button makes of it when the space
    // bar comes up.
    if (qobject_cast<QPushButton*>(watched)) {
        if (dialog_.rules && key->text().size() == 1) {
            dialog_.rules->Handle(watched->objectName().toStdString() + "_KeyPress",
                                  key->text().at(0).unicode());
        }
        return QDialog::eventFilter(watched, event);
    }
    auto* bar = qobject_cast<QScrollBar*>(watched);
    if (!bar) return QDialog::eventFilter(watched, event);
    // A scroll bar's keys: left and up step towards its low end, right and down towards its
    // high end, a page likewise, Home and End to the ends. Qt's own mapping turns some of
    // them around.
    using A = QAbstractSlider;
    static constexpr std::pair<int, A::SliderAction> kKeys[] = {
        {Qt::Key_Left, A::SliderSingleStepSub},  {Qt::Key_Up, A::SliderSingleStepSub},
        {Qt::Key_Right, A::SliderSingleStepAdd}, {Qt::Key_Down, A::SliderSingleStepAdd},
        {Qt::Key_PageUp, A::SliderPageStepSub},  {Qt::Key_PageDown, A::SliderPageStepAdd},
        {Qt::Key_Home, A::SliderToMinimum},      {Qt::Key_End, A::SliderToMaximum}};
    for (const auto& [k, action] : kKeys) {
        if (k != key->key()) continue;
        bar->triggerAction(action);
        return true;
    }
    return false;
}

void DialogView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && dialog_.rules) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::unique_ptr<QDialog> MakeDialogWindow(const Dialog& dialog, QWidget* parent) {
    if (dialog.IsMessageBox()) return look::MakeMessage(parent, QString::fromStdString(dialog.text));
    return std::make_unique<DialogView>(dialog, parent);
}

}  // namespace korvane
