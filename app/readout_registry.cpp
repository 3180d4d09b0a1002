#include "readout_registry.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace korvane {

void ReadoutRegistry::Attach(Readout which, QWidget* w) {
    widgets_[which] = w;
}

void ReadoutRegistry::Detach(Readout which, const QWidget* w) {
    auto it = widgets_.find(which);
    if (it != widgets_.end() && it->second == w) widgets_.erase(it);
}

QWidget* ReadoutRegistry::WidgetFor(Readout which) const {
    auto it = widgets_.find(which);
    return it == widgets_.end() ? nullptr : it->second.data();
}

void ReadoutRegistry::SetText(Readout which, const QString& text) {
    QWidget* w = WidgetFor(which);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(text);
        // A read-out shows the start of its number, as a text box set from code does.
        edit->setCursorPosition(0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    }
}

void ReadoutRegistry::Refresh(Readout which) {
    if (QWidget* w = WidgetFor(which)) w->repaint();
}

}  // namespace korvane
