#include "web_shell.h"

#include <emscripten.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "game.h"
#include "live_marks.h"
#include "outcome_dialog_rules.h"
#include "page.h"
#include "settings_dialog_rules.h"
#include "sound_ids.h"
#include "window_descriptions.h"

namespace korvane {

namespace {

// However far behind a slow machine falls, the browser gets the thread this often, so the
// page keeps drawing and taking input.
constexpr double kLongestTurnMillis = 50.0;
// A browser's timer fires a little late, often by a millisecond or more; the next frames
// make up for it rather than the game losing that time for good.
constexpr double kToleratedLateMicros = 20'000.0;
// Frames are run in batches of about half a display frame between two waits: the screen
// shows no more than that, and each wait costs the browser a turn of its event loop.
constexpr double kBatchMicros = 8'000.0;
// While a recording is watched: long enough to see a dialog or the end of a game, short
// enough not to bore.
constexpr double kWatchPauseMillis = 1000.0;
// Hurrying to the viewer's time, the game looks at the page (the viewer's controls, the clock
// for the browser's turn) once in so many frames: calls into the page would cost more than
// the frames themselves, and the viewer does not see a few hundred microseconds.
constexpr int64_t kHurriedFramesPerLook = 64;
// The message box's description (windows/window_descriptions.cpp): one for every text.
constexpr const char* kMessageBoxWindow = "MsgBox";

// The page's one shell, for the page's questions and its steps (below).
WebShell* theShell = nullptr;
std::unique_ptr<Program> theProgram;

// A watched game: what came of it and what its viewer chose, kept across the programs made
// afresh to go back in it.
struct Watching {
    bool started = false;
    // Every line come so far, which a program made afresh plays again.
    std::vector<script::ScriptLine> lines;
    // A live game: more lines may come; the last frame whose lines are all here; the batch
    // before's, which a game behind catches up to at full speed while it is followed (the
    // viewer watches its now rather than its past).
    bool liveOpen = false;
    int64_t reach = 0;
    int64_t catchUpTo = 0;
    bool following = true;
    // The viewer's controls: paused, the speed (2 plays twice as fast), and the emulated
    // time that the game hurries to (none below 0).
    bool paused = false;
    double speed = 1.0;
    double seekTo = -1.0;
    // The furthest emulated time any program has played the game to, and the score's
    // changes until then, each at its time.
    double furthest = 0.0;
    int32_t score = 0;
    std::vector<std::pair<double, int32_t>> marks;
};
Watching watching;

}  // namespace

Program::Program()
    : shell_(std::make_unique<WebShell>()), game_(std::make_unique<Game>(*shell_)) {
    shell_->AttachGame(*game_);
}

Program::~Program() {
    shell_.reset();
    game_.reset();
}

Program& TheProgram() {
    if (!theProgram) theProgram = std::make_unique<Program>();
    return *theProgram;
}

WebShell::WebShell() : pacer_([] { return page::NowMillis() * 1000.0; }, kToleratedLateMicros) {
    theShell = this;
}

WebShell::~WebShell() {
    if (theShell == this) theShell = nullptr;
}

void WebShell::AttachGame(Game& game) {
    CommandHub::AttachGame(game);
    Record("", [](const std::string& line) { page::Record(line.c_str()); });
    OnGameRecorded([] { page::GameRecorded(); });
}

// --- Stepping -----------------------------------------------------------------------------

void WebShell::Step() {
    // The page calls from its own turns only; a call while the game runs, or after the end,
    // has nothing to do.
    if (stepping_ || ended_) return;
    stepping_ = true;
    lastBrowserTurn_ = page::NowMillis();
    if (waiting_) {
        waiting_ = false;
        Resume();
    }
    RunBetweenGames();
    stepping_ = false;
}

void WebShell::RunBetweenGames() {
    while (!Running() && !Halted()) {
        std::string window;
        std::string text;
        if (!page::TakeEvent(window, text)) {
            // Nothing to do until the player does something.
            page::Sleep(-1.0, true);
            return;
        }
        TakePageEvent(window, text);
    }
}

Task WebShell::Wait(double ms, bool wakeOnEvent) {
    waiting_ = true;
    page::Sleep(ms, wakeOnEvent);
    co_await Suspend();
}

// --- Events ---------------------------------------------------------------------------------

void WebShell::DispatchPending() {
    std::string window;
    std::string text;
    while (!dialogClosed_ && page::TakeEvent(window, text)) TakePageEvent(window, text);
}

void WebShell::TakePageEvent(const std::string& window, const std::string& text) {
    if (window == "watch" || window == "live") {
        // Only a page between games, with nothing watched yet, starts watching: a whole
        // recording, or a live game whose lines follow.
        if (Running() || linesLoaded() || playControlsEnabled_ || watching.started) return;
        Load({});
        watching.liveOpen = window == "live";
        if (TakeWatchedLines(text)) {
            watching.started = true;
            Begin(Watch());
        } else {
            page::WatchEnded();
        }
    } else if (window == "lines") {
        if (watching.liveOpen) watching.liveOpen = TakeWatchedLines(text);
    } else if (window == "end") {
        watching.liveOpen = false;  // nothing more comes: the rest plays out
    } else if (window == "control") {
        TakeWatchControl(text);
    } else if (window == "frmKorvane") {
        GiveMainWindowLine(text);
    } else if (dialog_ && window == dialogWindow_ && !linesLoaded()) {
        // A watched game's dialogs answer as recorded, never as the viewer clicks.
        DialogEvent event;
        std::istringstream(text) >> event.handler >> event.value;
        dialogClosed_ = AnswerOpenDialog(event);
    }
}

void WebShell::GiveMainWindowLine(const std::string& text) {
    const std::optional<script::ScriptLine> line = ReadLine(text);
    if (!line) return;
    // A dialog has the input; what the main window got meanwhile is lost, as the desktop
    // drops input to a window that a dialog blocks. Minimising is the window's state, not
    // input: it counts also while a dialog is open.
    const bool windowState =
        line->command == script::cmd::kMinimise || line->command == script::cmd::kRestore;
    if (!dialog_ || windowState) Give(*line);
}

// --- Watching -------------------------------------------------------------------------------

bool WebShell::TakeWatchedLines(const std::string& text) {
    std::vector<script::ScriptLine> lines;
    try {
        lines = script::ParseScript(text);
    } catch (const script::ScriptError& e) {
        Report("the recording cannot be watched: line " + std::to_string(e.lineNumber) + ": " +
               e.what());
        return false;
    }
    const int64_t reach = std::max(watching.reach, script::ReadBatchMarks(text, lines).reached);
    Append(lines);
    watching.lines.insert(watching.lines.end(), lines.begin(), lines.end());
    watching.catchUpTo = watching.reach;
    watching.reach = reach;
    return true;
}

void WebShell::TakeWatchControl(const std::string& text) {
    std::istringstream in(text);
    std::string what;
    double value = 0.0;
    in >> what >> value;
    if (what == "pause") {
        watching.paused = value != 0.0;
        if (watching.paused) watching.following = false;
    } else if (what == "speed" && value >= 0.25 && value <= 16.0) {
        watching.speed = value;
    } else if (what == "seek" && value >= 0.0) {
        watching.seekTo = value;
        watching.following = false;
    } else if (what == "follow") {
        // Back to the live game's now: it catches up, then plays at its own pace.
        watching.following = true;
        watching.paused = false;
        watching.speed = 1.0;
        watching.seekTo = -1.0;
    }
    // The pace starts afresh at the new speed, or where the game stood.
    pacer_.Restart();
}

bool WebShell::CatchingUp() const {
    return watching.following && frame() < watching.catchUpTo;
}

bool WebShell::Hurrying() {
    if (CatchingUp()) return true;
    if (watching.seekTo < 0.0) return false;
    if (game().surface().EmulatedMicros() < watching.seekTo) return true;
    // Arrived: from here the game plays at its pace again.
    watching.seekTo = -1.0;
    pacer_.Restart();
    return false;
}

void WebShell::NoteWatchedFrame() {
    const double now = game().surface().EmulatedMicros();
    if (now <= watching.furthest) return;  // played before, by this program or an earlier one
    watching.furthest = now;
    const int32_t score = game().state().score;
    if (score == watching.score) return;
    watching.score = score;
    watching.marks.emplace_back(now, score);
}

Task WebShell::HoldWhilePaused() {
    if (!watching.paused || Hurrying()) co_return;
    while (watching.paused && !Hurrying()) {
        co_await Wait(-1.0, true);
        DispatchPending();
    }
    pacer_.Restart();
}

Task WebShell::WatchPause() {
    // The viewer's controls are taken meanwhile: a jump ends the pause at once, a pause holds
    // it, another speed makes it longer or shorter.
    const double start = page::NowMillis();
    const auto left = [&] {
        return start + kWatchPauseMillis / watching.speed - page::NowMillis();
    };
    while (!Hurrying() && left() > 0.0) {
        co_await Wait(left(), true);
        DispatchPending();
    }
    co_await HoldWhilePaused();
}

void WebShell::WatchAgain(double micros) {
    watching.seekTo = micros;
    watching.following = false;
    Load(watching.lines);
    stepping_ = true;
    lastBrowserTurn_ = page::NowMillis();
    Begin(Watch());
    RunBetweenGames();
    stepping_ = false;
}

Task WebShell::Watch() {
    // The lines between games one after the other; after a game, a pause first. A live
    // game's next lines are waited for.
    for (int64_t before = frame();;) {
        if (!HasIdleLine()) {
            if (!watching.liveOpen) break;
            co_await Wait(-1.0, true);
            DispatchPending();
            continue;
        }
        co_await RunNextIdleLine();
        NoteWatchedFrame();
        if (frame() != before) co_await WatchPause();
        before = frame();
    }
    // The end shows, wherever the viewer sent the game.
    watching.seekTo = -1.0;
    page::MarkViewscreenDirty();
    page::WatchEnded();
}

// --- The frame's yield and the pace -----------------------------------------------------------

Task WebShell::DoEvents() {
    // A live game's next frame waits until its lines are all here.
    while (watching.liveOpen && watching.reach <= frame()) {
        co_await Wait(-1.0, true);
        DispatchPending();
    }
    co_await Yield();
}

Task WebShell::HandleEvents() {
    if (watching.started) NoteWatchedFrame();
    // Hurrying to a time the viewer chose, the game is drawn only once it is there.
    if (Hurrying()) {
        hurried_ = true;
        if (frame() % kHurriedFramesPerLook != 0) co_return;
    } else {
        // The pace starts afresh where the game has caught up.
        if (std::exchange(hurried_, false)) pacer_.Restart();
        page::MarkViewscreenDirty();
    }
    co_await WaitOutEmulatedTime(true);
    co_await HoldWhilePaused();
    DispatchPending();
    if (page::NowMillis() - lastBrowserTurn_ > kLongestTurnMillis) {
        co_await Wait(0.0, false);
    }
}

Task WebShell::WaitOutEmulatedTime(bool handleEvents) {
    for (;;) {
        if (handleEvents) DispatchPending();
        if (Hurrying()) {
            pacer_.Restart();  // the pace starts afresh where the game has caught up
            co_return;
        }
        // A watched game's viewer may choose another speed: at 2 the emulated time is
        // played in half the real time.
        const double lead = pacer_.Lead(game().surface().EmulatedMicros() / watching.speed);
        if (lead < kBatchMicros) co_return;
        co_await Wait(Pacer::WaitMillis(lead), handleEvents);
    }
}

Task WebShell::HoldFor(Hold what) {
    if (what == Hold::Picture) {
        page::DrawViewscreenNow();
        // The flash stays on screen for its emulated time; the player's input waits for it.
        co_await WaitOutEmulatedTime(false);
        co_return;
    }
    // A waited sound holds everything up until it has ended; the player's input waits too.
    const double millis = std::exchange(soundMillis_, 0.0);
    if (millis <= 0) co_return;
    co_await Wait(millis, false);
    pacer_.Restart();
}

// --- Dialogs --------------------------------------------------------------------------------

Task WebShell::ShowDialog(Dialog& dialog) {
    // One dialog at a time: the main window's input is closed to a second one.
    dialogWindow_ = dialog.IsMessageBox() ? kMessageBoxWindow : dialog.window;
    page::OpenWindow(dialogWindow_.c_str(), dialog.text.c_str());
    dialog_ = &dialog;
    if (dialog.rules) {
        dialog.rules->Form_Load();
        AnswerDialog(dialog);
        RefreshDialog();
    }
    dialogClosed_ = false;
    if (linesLoaded()) {
        // The recorded answers are already given; the viewer sees the window, then it closes.
        co_await WatchPause();
        dialogClosed_ = AnswerOpenDialog(DialogEvent{"Form_Close", 0});
    }
    while (!dialogClosed_) {
        co_await Wait(-1.0, true);
        DispatchPending();
    }
    dialog_ = nullptr;
    dialogWindow_.clear();
    dialogClosed_ = false;
    page::CloseWindow();
    // The player's time in a dialog is not the game's.
    pacer_.Restart();
}

bool WebShell::AnswerOpenDialog(const DialogEvent& e) {
    // The close box acts as OK in every dialog.
    if (e.handler == "Form_Close") return true;
    // A message box and the About box close by OK. (The About box's home-page button is the
    // page's own business; there is no system information tool to start in a browser, so
    // its button stays disabled.)
    if (!dialog_->rules) return e.handler == "cmdOK_Click";
    const bool closes = dialog_->rules->Handle(e.handler, e.value);
    RefreshDialog();
    return closes;
}

void WebShell::RefreshDialog() {
    // The bars stand, and the buttons take clicks, as the rules leave them.
    for (const ControlInfo& c : WindowNamed(dialog_->window).controls) {
        if (c.kind == ControlKind::ScrollBar) page::SetScrollValue(dialog_->rules->ValueOf(c.name));
        if (c.kind == ControlKind::Button) page::SetEnabled(c.name, dialog_->rules->IsEnabled(c.name));
    }
}

// --- The main window, sounds, the end --------------------------------------------------------

void WebShell::Show(const WindowChange& change) {
    using Kind = WindowChange::Kind;
    static constexpr const char* kOptions[] = {"Option1", "Option2", "Option3"};
    switch (change.kind) {
        case Kind::ShowMainWindow:
            page::MarkViewscreenDirty();
            break;
        case Kind::ResetMainWindow:
            // The window comes back as it was designed, which is not minimised: the game
            // starts.
            MainWindowReset();
            page::ResetMainWindow();
            page::MarkViewscreenDirty();
            break;
        case Kind::PlayControls:
            playControlsEnabled_ = change.on;
            page::SetPlayControlsEnabled(change.on);
            break;
        case Kind::Text:
            page::SetText(ReadoutName(change.readout), change.text.c_str());
            break;
        case Kind::TorpedoIndicator:
            if (change.slot >= 1 && change.slot <= 3) {
                page::SetChecked(kOptions[change.slot - 1], change.on);
            }
            break;
        case Kind::FocusViewscreen:
            // Also after the teardown has cleared the viewscreen: it is drawn again.
            page::Focus("Picture1");
            page::MarkViewscreenDirty();
            break;
        case Kind::RefreshReadout:  // the page shows a read-out's text as it is set
        case Kind::ViewscreenCleared:
            break;
    }
}

Task WebShell::EndProgram() {
    // Nothing runs after the end: the game is never stepped again and no event is handled.
    ended_ = true;
    Halt();
    page::Ended();
    co_await Forever();
}

void WebShell::PlaySound(int soundid, int playflags) {
    soundMillis_ = 0.0;
    // A watched game is heard only at its own speed, never while it hurries.
    if (Hurrying() || watching.speed != 1.0) return;
    const double millis = page::PlaySound(soundid);
    if ((playflags & kSoundPlaysOn) == 0) soundMillis_ = millis;
}

ScreenSize WebShell::RealScreenSize() {
    return {page::ScreenWidth(), page::ScreenHeight()};
}

uint64_t WebShell::RealClockSeed() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace korvane

extern "C" {

// The page steps the game (see WebShell::Step): when a wait it was asked for is over, and
// when an event comes that the game takes.
EMSCRIPTEN_KEEPALIVE void korvane_step() {
    if (korvane::theShell) korvane::theShell->Step();
}

// The page's questions about the game in play; none of them changes the game.

// A watched game played again from its start, up to the emulated time `micros` (below 0:
// from the start at its pace), in a program made afresh: the viewer's way back. The page
// has forgotten the old program's waits and windows first (page.js, page.watchAgain).
EMSCRIPTEN_KEEPALIVE void korvane_watch_again(double micros) {
    using korvane::theProgram;
    if (!korvane::watching.started) return;
    theProgram.reset();
    korvane::Program& program = korvane::TheProgram();
    korvane::page::AttachViewscreen(program.game().surface().Pixels().data());
    program.game().Main();
    program.shell().WatchAgain(micros);
}

// Where the watched game stands, how far it has ever been played, in emulated
// microseconds, and whether the viewer has paused it.
EMSCRIPTEN_KEEPALIVE double korvane_watch_micros() {
    return korvane::theProgram ? korvane::theProgram->game().surface().EmulatedMicros() : 0.0;
}
EMSCRIPTEN_KEEPALIVE double korvane_watch_furthest() {
    return korvane::watching.furthest;
}

// The score's changes in the watched game as far as it has been played: a JSON array of
// [micros, score]; valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* korvane_watch_marks() {
    static std::string text;
    text = "[";
    for (const auto& [micros, score] : korvane::watching.marks) {
        if (text.size() > 1) text += ",";
        text += "[" + std::to_string(static_cast<int64_t>(micros)) + "," + std::to_string(score) + "]";
    }
    text += "]";
    return text.c_str();
}

// The frames' yields so far, counted as a recording counts them.
EMSCRIPTEN_KEEPALIVE int korvane_frame() {
    return korvane::theShell ? static_cast<int>(korvane::theShell->frame()) : 0;
}

// The frames whose recorded lines are all written: the `# frame F` a live game's batch
// ends with.
EMSCRIPTEN_KEEPALIVE int korvane_frames_recorded() {
    return korvane::theShell ? static_cast<int>(korvane::theShell->FramesWritten()) : 0;
}

// The lines that end a live game's batch `number`, sent while a dialog holds the game when
// `dialog` is not 0 (or the victory holds it); valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* korvane_batch_marks(int number, int dialog) {
    static std::string text;
    text = korvane::script::WriteBatchMarks(
        {korvane_frames_recorded(), dialog != 0 || korvane::theShell->VictoryHolds(),
         std::optional<int64_t>(number)});
    return text.c_str();
}

}  // extern "C"
