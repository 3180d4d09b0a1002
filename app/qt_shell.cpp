#include "qt_shell.h"

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>

#include "dialog_view.h"
#include "game.h"
#include "main_window_view.h"
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
// How much longer than its own length a sound the game waits for may take before the game
// goes on without its end: enough for a device that starts late, and a stalled device
// never freezes the game.
constexpr int kSoundGraceMillis = 1000;

}  // namespace

QtShell::QtShell(MainWindow& window, Pacer::Clock clock)
    : window_(window), clock_(std::move(clock)), pacer_(clock_, kToleratedLateMicros) {
    const MainWindowControls& c = window_.controls();
    repaintTimer_.setSingleShot(true);
    QObject::connect(&repaintTimer_, &QTimer::timeout, c.Picture1,
                     [picture = c.Picture1] { picture->update(); });
    // A coarse timer may end a wait up to 5% late or early, which the pace would show.
    resumeTimer_.setSingleShot(true);
    resumeTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&resumeTimer_, &QTimer::timeout, [this] { ResumeGame(); });
}

QtShell::~QtShell() {
    // The device's thread must not report the end of a sound to a Shell that is gone.
    if (audioTried_) sound::ForgetEnded();
}

void QtShell::AttachGame(Game& game) {
    CommandHub::AttachGame(game);
    window_.controls().Picture1->SetSurface(&game.surface());
}

void QtShell::WhenSettled(std::function<void()> then) {
    if (Running()) {
        settled_.push_back(std::move(then));
        return;
    }
    QTimer::singleShot(0, &resumeTimer_, std::move(then));
}

Task QtShell::Sleep(int millis) {
    resumeTimer_.start(std::max(0, millis));
    co_await Suspend();
}

void QtShell::ResumeGame() {
    Resume();
    if (Running()) return;
    for (const std::function<void()>& then : std::exchange(settled_, {})) then();
}

Task QtShell::HandleEvents() {
    if (onYield_) onYield_();
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
    // Even a frame due at once gives the event loop one turn, so that the input that has
    // arrived is taken in this frame's yield; a batch's frames then cost no more than one
    // pass over the queue each, and the program sleeps only once per refresh.
    co_await Sleep(wait > 0.0 ? Pacer::WaitMillis(wait) : 0);
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

Task QtShell::ShowDialog(Dialog& dialog) {
    const std::unique_ptr<QDialog> window = MakeDialogWindow(dialog, &window_);
    if (auto* view = dynamic_cast<DialogView*>(window.get())) {
        view->Load();
        AnswerDialog(dialog);
        view->Refresh();
    }
    co_await RunModal(*window, dialog);
}

Task QtShell::RunModal(QDialog& dialog, const Dialog& what) {
    if (linesLoaded()) QTimer::singleShot(kReplayPauseMillis, &dialog, &QDialog::accept);
    // Resumed from the event loop, never from inside the dialog's own signal: the game
    // deletes the dialog as it goes on.
    QObject::connect(&dialog, &QDialog::finished, &resumeTimer_, [this, &what] {
        std::function<void()> goOn = [this] { resumeTimer_.start(0); };
        if (afterDialog_) {
            afterDialog_(what, std::move(goOn));
        } else {
            goOn();
        }
    });
    // Modal as the game's dialogs are: the main window takes no input and refuses to close.
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    co_await Suspend();
    pacer_.Restart();  // the player's time in a modal window is not the game's
}

void QtShell::Show(const WindowChange& change) {
    using K = WindowChange::Kind;
    switch (change.kind) {
        case K::ShowMainWindow:
            ShowMainWindowNow();
            break;
        case K::ResetMainWindow:
            ResetMainWindowNow();
            break;
        case K::PlayControls:
            playControlsEnabled_ = change.on;
            window_.SetPlayControlsEnabled(change.on);
            break;
        case K::Text:
            SetReadoutText(change.readout, change.text);
            break;
        case K::RefreshReadout:
            if (QWidget* w = ReadoutWidget(change.readout)) w->repaint();
            break;
        case K::TorpedoIndicator:
            if (change.slot >= 1 && change.slot <= 3) {
                window_.controls().options[static_cast<size_t>(change.slot - 1)]->setChecked(
                    change.on);
            }
            break;
        case K::FocusViewscreen:
            // Also after the teardown has cleared the viewscreen: it is shown again.
            window_.controls().Picture1->setFocus(Qt::OtherFocusReason);
            ScheduleViewscreenRepaint();
            break;
        case K::ViewscreenCleared:
            break;
    }
}

void QtShell::ShowMainWindowNow() {
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

void QtShell::ResetMainWindowNow() {
    // The window comes back as it was designed, which is not minimised: the game starts.
    MainWindowReset();
    if (window_.isMinimized()) window_.showNormal();
    window_.ResetControls();
    ScheduleViewscreenRepaint();
}

Task QtShell::EndProgram() {
    EndNow();
}

void QtShell::EndNow() {
    sound::ShutdownAudio();
    std::fflush(nullptr);
    ::_exit(0);
}

void QtShell::SetReadoutText(Readout which, const std::string& text) {
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

QWidget* QtShell::ReadoutWidget(Readout which) const {
    // The main window's read-outs and the open dialog's, which is the main window's child.
    return window_.findChild<QWidget*>(QString::fromLatin1(ReadoutName(which)));
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
    // The game waits for this one's end (HoldScreen): the device's thread reports it.
    const uint64_t number = ++soundNumber_;
    soundMicros_ = sound::PlaySoundThen(soundid, [this, number] {
                       QMetaObject::invokeMethod(
                           &resumeTimer_,
                           [this, number] {
                               if (soundWaited_ == number) resumeTimer_.start(0);
                           },
                           Qt::QueuedConnection);
                   }).count();
}

Task QtShell::HoldFor(Hold what) {
    if (what == Hold::Sound) {
        co_await WaitForSound();
        co_return;
    }
    window_.controls().Picture1->repaint();
    // The flash stays on screen for its emulated time; the player's input waits for it.
    const int millis = Pacer::WaitMillis(pacer_.Lead(game().surface().EmulatedMicros()));
    if (millis <= 0) co_return;
    ++inputHeld_;
    co_await Sleep(millis);
    --inputHeld_;
}

Task QtShell::WaitForSound() {
    // The window keeps repainting and the system's end request is still heard; the player's
    // input waits, as it does for a flash.
    if (soundMicros_ <= 0) co_return;
    soundWaited_ = soundNumber_;
    ++inputHeld_;
    co_await Sleep(static_cast<int>(soundMicros_ / 1000) + kSoundGraceMillis);
    --inputHeld_;
    soundWaited_ = 0;
    soundMicros_ = 0;
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
