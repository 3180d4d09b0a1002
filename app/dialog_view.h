#pragma once
// Every dialog of the game on the desktop: the settings dialog, the five outcome dialogs and
// the About box are one view, built from the window's description and wired to the dialog's
// rules; the message box is Qt's own. A dialog is shown modally and never waited on: the
// Shell goes on with the game when it has finished.

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

#include "shell.h"

class QPushButton;
class QScrollBar;

namespace korvane {

class DialogView : public QDialog {
  public:
    // Built from the description dialog.window names; the rules are dialog's own.
    DialogView(const Dialog& dialog, QWidget* parent = nullptr);

    // What the platform does when it loads the form: the rules' load (a sound, the star
    // count, the victory's score boxes), then what it left shown.
    void Load();
    // The controls as the rules leave them (after a replay's answer).
    void Refresh();

    // The About box's System Info button: starts the system-information program, or says
    // that there is none. Where it looks (the PATH when empty) and how it starts a program
    // are a test's to change.
    void StartSysInfo();
    void SetSysInfoSearchPath(const QStringList& path) { searchPath_ = path; }
    void SetLauncher(std::function<bool(const QString&)> launch) { launch_ = std::move(launch); }

  protected:
    // The star bar's keys, and every key press on an outcome's OK before the button sees it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The settings and outcome dialogs close only by OK or their close box; Escape leaves
    // them open (and closes the About box).
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void WireSettings();
    void WireOutcome();
    void WireAbout();

    Dialog dialog_;
    QScrollBar* bar_ = nullptr;       // the settings dialog's star bar
    QPushButton* close_ = nullptr;    // an outcome's OK
    QPushButton* harder_ = nullptr;   // the victory's make-harder button
    QStringList searchPath_;
    std::function<bool(const QString&)> launch_;
};

// The window a dialog is shown in, over parent: a DialogView, or for the message box Qt's.
std::unique_ptr<QDialog> MakeDialogWindow(const Dialog& dialog, QWidget* parent);

}  // namespace korvane
