#pragma once
// The five small dialogs that end a game: absorption, own torpedo, super energy weapon,
// antimatter globe and victory. One view serves all five, each built from its description;
// the OutcomeDialog rules decide when OK closes it (never by the space bar) and what the
// victory dialog's button does.

#include <QDialog>

#include "outcome_dialog_rules.h"

class QPushButton;

namespace korvane {

class FrmOutcome : public QDialog {
  public:
    explicit FrmOutcome(OutcomeDialog& model, QWidget* parent = nullptr);

    // What the platform does when it loads the form: the model's load (its sound, and the
    // victory dialog's score boxes).
    void Load();
    // The make-harder button as the rules leave it (after a replay's answer).
    void Refresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The dialog closes only by OK or its close box; Escape leaves it open.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    OutcomeDialog& model_;
    QPushButton* close_ = nullptr;
    QPushButton* harder_ = nullptr;
};

}  // namespace korvane
