#pragma once
// The settings dialog shown at the start of every game: title, version, story and help, and
// the star count, which doubles as the game's speed control. Built from its description;
// every event goes to the SettingsDialog rules, and the view shows what they leave.

#include <QDialog>

class QScrollBar;

namespace korvane {

class SettingsDialog;

class SettingsDialogView : public QDialog {
  public:
    explicit SettingsDialogView(SettingsDialog& model, QWidget* parent = nullptr);

    // What the platform does when it loads the form: the model's load, which sets the star
    // count and moves the bar to it.
    void Load();
    // The bar moved to where the rules left it (after a replay's answer).
    void Refresh();

  protected:
    // The star bar's keys.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The dialog closes only by OK or its close box; Escape leaves it open.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    SettingsDialog& model_;
    QScrollBar* bar_ = nullptr;
};

}  // namespace korvane
