#pragma once
// Every dialog of the game on the desktop: one view, built from the window's description and
// wired to the dialog's rules by its controls' names (every button's click and key presses,
// every scroll bar's change); the message box is Qt's own. A dialog is shown modally and
// never waited on: the Shell goes on with the game when it has finished.

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "shell.h"

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
    // A scroll bar's keys, and every key press on a button, which its rules see before the
    // button does.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A dialog with rules closes only as they say (OK, its close box); Escape leaves it open.
    // One without (the About box) closes by Escape too.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // An event of the window for its rules, by its handler's name; closes it when they say.
    void Handle(const QString& control, const char* event, int value = 0);

    Dialog dialog_;
    QStringList searchPath_;
    std::function<bool(const QString&)> launch_;
};

// The window a dialog is shown in, over parent: a DialogView, or for the message box Qt's.
std::unique_ptr<QDialog> MakeDialogWindow(const Dialog& dialog, QWidget* parent);

}  // namespace korvane
