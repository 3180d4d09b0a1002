#pragma once
// The help and About box: the story, the keyboard and mouse help, the version, the home
// page and the system-information program. Opened by the help button and the A key.

#include <QDialog>
#include <QStringList>
#include <functional>

namespace korvane {

class FrmAbout : public QDialog {
  public:
    explicit FrmAbout(QWidget* parent = nullptr);

    // Starts the system-information program, or says that there is none.
    void StartSysInfo();

    // Where StartSysInfo looks (the PATH when empty) and how it starts a program; a test
    // points them elsewhere.
    void SetSysInfoSearchPath(const QStringList& path) { searchPath_ = path; }
    void SetLauncher(std::function<bool(const QString&)> launch) { launch_ = std::move(launch); }

  private:
    QStringList searchPath_;
    std::function<bool(const QString&)> launch_;
};

}  // namespace korvane
