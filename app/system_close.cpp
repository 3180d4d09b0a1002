#include "system_close.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace korvane {

namespace {

int pipeEnds[2] = {-1, -1};

// Only async-signal-safe work here: one byte down the pipe, read back by the event loop.
void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

}  // namespace

SystemClose::SystemClose(std::function<void()> onClose) : onClose_(std::move(onClose)) {
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(pipeEnds[0], &byte, 1) > 0) {
        }
        if (onClose_) onClose_();
    });
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

SystemClose::~SystemClose() {
    signal(SIGTERM, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
}

}  // namespace korvane
