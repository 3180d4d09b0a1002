#include "qt_shell.h"

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "about_box_view.h"
#include "game.h"
#include "look.h"
#include "main_window_view.h"
#include "outcome_dialog_view.h"
#include "settings_dialog_view.h"
#include "sound_ids.h"
#include "sound_player.h"
#include "viewscreen.h"

namespace korvane {

namespace {

constexpr double kDefaultRefreshMicros = 1e6 / 60.0;
// A wait that oversleeps a little, as a loaded machine's do, is made up by the next
// frames rather than lost.
constexpr double kToleratedLateMicros = kDefaultRefreshMicros;
// While a recording is replayed: long enough to see a dialog, short enough not to bore.
constexpr int kReplayPauseMillis = 1000;

}  // namespace

QtShell::QtShell(MainWindow& window, Pacer::Clock clock)
    : window_(window), clock_(std::move(clock)), pacer_(clock_, kToleratedLateMicros) {
    const MainWindowControls& c = window_.controls();
    repaintTimer_.setSingleShot(true);
    QObject::connect(&repaintTimer_, &QTimer::timeout, c.Picture1,
                     [picture = c.Picture1] { picture->update(); });
}

void QtShell::AttachGame(Game& game) {
    CommandHub::AttachGame(game);
    window_.controls().Picture1->SetSurface(&game.surface());
}

void QtShell::DoEvents() {
    Yield([this] {
        if (onYield_) onYield_();
        // Wait first, handling events as they come, then take whatever arrived at the very
        // end: a key released during the wait acts in this frame, not the next.
        WaitForNextBatch();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    });
}

void QtShell::WaitForNextBatch() {
    const double refresh = RefreshMicros();
    const double wait = pacer_.BatchWait(game().surface().EmulatedMicros(), refresh);
    // The picture shown is the batch's last frame, painted as the program goes to sleep.
    // A machine too slow to wait still gets a picture every refresh and a half: not every
    // refresh, or a batch that runs a little long would be painted twice.
    const double now = clock_();
    if (wait > 0.0 || now - lastRepaint_ >= 1.5 * refresh) {
        window_.controls().Picture1->update();
        lastRepaint_ = now;
    }
    if (wait > 0.0) SleepHandlingEvents(Pacer::WaitMillis(wait), QEventLoop::AllEvents);
}

void QtShell::WaitOutEmulatedTime(QEventLoop::ProcessEventsFlags flags) {
    const int millis = Pacer::WaitMillis(pacer_.Lead(game().surface().EmulatedMicros()));
    if (millis > 0) SleepHandlingEvents(millis, flags);
}

void QtShell::SleepHandlingEvents(int millis, QEventLoop::ProcessEventsFlags flags) {
    // A nested loop sleeps until the deadline or the next event, and handles every event
    // that arrives meanwhile: the program neither spins nor stops listening.
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(millis);
    loop.exec(flags);
}

double QtShell::RefreshMicros() const {
    if (const QScreen* screen = window_.screen(); screen && screen->refreshRate() > 1.0) {
        return 1e6 / screen->refreshRate();
    }
    return kDefaultRefreshMicros;
}

void QtShell::ScheduleViewscreenRepaint() {
    if (repaintTimer_.isActive()) return;
    repaintTimer_.start(std::max(1, static_cast<int>(RefreshMicros() / 1000.0)));
}

bool QtShell::IsMainWindowMinimised() {
    return window_.isMinimized();
}

ScreenSize QtShell::RealScreenSize() {
    const QScreen* screen = window_.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (linesLoaded() || !screen) return CommandHub::RealScreenSize();
    return {screen->geometry().width(), screen->geometry().height()};
}

void QtShell::RunModal(const std::function<void()>& exec) {
    if (linesLoaded()) {
        QTimer::singleShot(kReplayPauseMillis, &window_, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->accept();
            }
        });
    }
    exec();
    pacer_.Restart();  // the player's time in a modal window is not the game's
}

void QtShell::ShowMessageBox(const std::string& text) {
    RunModal([&] { look::ShowMessage(&window_, QString::fromStdString(text)); });
}

void QtShell::ShowSettingsDialog(SettingsDialog& dialog) {
    SettingsDialogView view(dialog, &window_);
    view.Load();
    AnswerDialog(dialog);
    view.Refresh();
    RunModal([&] { view.exec(); });
}

void QtShell::ShowOutcomeDialog(OutcomeDialog& dialog) {
    FrmOutcome view(dialog, &window_);
    view.Load();
    AnswerDialog(dialog);
    view.Refresh();
    RunModal([&] { view.exec(); });
}

void QtShell::ShowAboutBox() {
    FrmAbout view(&window_);
    RunModal([&] { view.exec(); });
}

void QtShell::ShowMainWindow() {
    if (!window_.isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            window_.move(area.center() - QPoint(window_.width() / 2, window_.height() / 2));
        }
        window_.show();
    }
    window_.raise();
    window_.activateWindow();
    ScheduleViewscreenRepaint();
}

void QtShell::ResetMainWindow() {
    // The window comes back as it was designed, which is not minimised: the game starts.
    MainWindowReset();
    if (window_.isMinimized()) window_.showNormal();
    window_.ResetControls();
    ScheduleViewscreenRepaint();
}

void QtShell::EndProgram() {
    sound::ShutdownAudio();
    std::fflush(nullptr);
    // Leave at once: not one more statement of the running frame may run.
    ::_exit(0);
}

void QtShell::SetPlayControlsEnabled(bool enabled) {
    playControlsEnabled_ = enabled;
    window_.SetPlayControlsEnabled(enabled);
}

void QtShell::SetText(Readout which, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    QWidget* w = ReadoutWidget(which);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(shown);
        // A read-out shows the start of its number, as a text box set from code does.
        edit->setCursorPosition(0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(shown);
    }
}

void QtShell::RefreshReadout(Readout which) {
    if (QWidget* w = ReadoutWidget(which)) w->repaint();
}

QWidget* QtShell::ReadoutWidget(Readout which) const {
    // The main window's read-outs and the open dialog's, which is the main window's child.
    return window_.findChild<QWidget*>(QString::fromLatin1(ReadoutName(which)));
}

void QtShell::SetTorpedoIndicator(int slot, bool ready) {
    if (slot < 1 || slot > 3) return;
    window_.controls().options[static_cast<size_t>(slot - 1)]->setChecked(ready);
}

void QtShell::FocusViewscreen() {
    // Also after the teardown has cleared the viewscreen: it is shown again.
    window_.controls().Picture1->setFocus(Qt::OtherFocusReason);
    ScheduleViewscreenRepaint();
}

void QtShell::PlaySound(int soundid, int playflags) {
    if (!audioTried_) {
        audioTried_ = true;
        if (!sound::InitAudio()) {
            std::fputs("korvane: no audio device could be opened; playing without sound\n", stderr);
        }
    }
    if (playflags == kSoundPlaysOn) {
        sound::PlaySoundResource(soundid, sound::kPlayAsync);
        return;
    }
    // The window keeps repainting and the system's end request is still heard; the player's
    // input waits, as it does for a flash.
    ++inputHeld_;
    const auto released = qScopeGuard([this] { --inputHeld_; });
    sound::PlaySoundResource(soundid, sound::kPlaySync, [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}

void QtShell::PresentViewscreen() {
    window_.controls().Picture1->repaint();
    // The flash stays on screen for its emulated time; the player's input waits for it.
    ++inputHeld_;
    const auto released = qScopeGuard([this] { --inputHeld_; });
    WaitOutEmulatedTime(QEventLoop::ExcludeUserInputEvents);
}

void QtShell::SetMinimised(bool minimised) {
    // The window reports the change to the game itself (MainWindow::onMinimisedChanged).
    if (minimised) {
        window_.showMinimized();
    } else {
        window_.showNormal();
    }
}

uint64_t QtShell::RealClockSeed() {
    using namespace std::chrono;
    if (linesLoaded()) return CommandHub::RealClockSeed();
    return static_cast<uint64_t>(
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace korvane
