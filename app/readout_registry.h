#pragma once
// Which widget shows each read-out now. The game sets a read-out by name; the main window's
// read-outs are always there, the dialogs' ones only while their dialog is open, so each
// view enters its widgets when it is built and they leave with it.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>

#include "shell.h"

namespace korvane {

class ReadoutRegistry {
  public:
    // w shows the read-out from now on: a text box, a label or a button caption.
    void Attach(Readout which, QWidget* w);
    // Only the widget that is attached leaves; a newer one stays.
    void Detach(Readout which, const QWidget* w);

    // Sets the text of the widget that shows the read-out; nothing when none does.
    void SetText(Readout which, const QString& text);
    // Redraws that widget at once.
    void Refresh(Readout which);

    QWidget* WidgetFor(Readout which) const;

  private:
    std::map<Readout, QPointer<QWidget>> widgets_;
};

}  // namespace korvane
