#pragma once
// The system asking the program to end (a logout, a shutdown, `kill`): SIGTERM and SIGHUP
// become an ordinary event of the window system, so that the game ends as when the system
// closes its window (pens released, audio closed, exit code 0), whatever is open, modal
// dialogs and flashes included.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace korvane {

class SystemClose : public QObject {
  public:
    explicit SystemClose(std::function<void()> onClose);
    ~SystemClose() override;

  private:
    std::function<void()> onClose_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace korvane
