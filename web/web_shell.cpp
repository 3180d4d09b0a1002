#include "web_shell.h"

#include <emscripten.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <sstream>

#include "game.h"
#include "live_marks.h"
#include "outcome_dialog_rules.h"
#include "page.h"
#include "settings_dialog_rules.h"
#include "sound_ids.h"

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

// A message box and the About box close by OK or their close box. (The About box's home-page
// button is the page's own business; there is no system information tool to start in a
// browser, so its button stays disabled.)
void CloseOnOk(const DialogEvent& e, bool& close) {
    if (e.handler == "cmdOK_Click" || e.handler == "Form_Close") close = true;
}

// The page's one shell, for the page's questions (below).
WebShell* theShell = nullptr;

}  // namespace

WebShell::WebShell() : pacer_([] { return page::NowMillis() * 1000.0; }, kToleratedLateMicros) {
    theShell = this;
}

void WebShell::AttachGame(Game& game) {
    CommandHub::AttachGame(game);
    Record("", [](const std::string& line) { page::Record(line.c_str()); });
    OnGameRecorded([] { page::GameRecorded(); });
}

void WebShell::DispatchPending() {
    std::string window;
    std::string text;
    while (page::TakeEvent(window, text)) {
        if (window == "watch" || window == "live") {
            // Only a page between games, with nothing watched yet, starts watching: a whole
            // recording, or a live game whose lines follow.
            if (linesLoaded() || playControlsEnabled_ || !modalWindow_.empty()) continue;
            Load({});
            liveOpen_ = window == "live";
            if (TakeWatchedLines(text)) {
                Watch();
            } else {
                page::WatchEnded();
            }
        } else if (window == "lines") {
            if (liveOpen_) liveOpen_ = TakeWatchedLines(text);
        } else if (window == "end") {
            liveOpen_ = false;  // nothing more comes: the rest plays out
        } else if (window == "frmKorvane") {
            GiveMainWindowLine(text);
        } else if (window == modalWindow_ && !modalWindow_.empty()) {
            DialogEvent event;
            std::istringstream(text) >> event.handler >> event.value;
            modalHandler_(event, modalClose_);
            if (modalClose_) return;
        }
    }
}

void WebShell::GiveMainWindowLine(const std::string& text) {
    const std::optional<script::ScriptLine> line = ReadLine(text);
    if (!line) return;
    // A modal window has the input; what the main window got meanwhile is lost, as the
    // desktop drops input to a window that a dialog blocks. Minimising is the window's
    // state, not input: it counts also while a dialog is open.
    const bool windowState =
        line->command == script::cmd::kMinimise || line->command == script::cmd::kRestore;
    if (modalWindow_.empty() || windowState) Give(*line);
}

bool WebShell::TakeWatchedLines(const std::string& text) {
    std::vector<script::ScriptLine> lines;
    try {
        lines = script::ParseScript(text);
    } catch (const script::ScriptError& e) {
        Report("the recording cannot be watched: line " + std::to_string(e.lineNumber) + ": " +
               e.what());
        return false;
    }
    const int64_t reach = std::max(watchedReach_, script::ReadBatchMarks(text, lines).reached);
    Append(lines);
    catchUpTo_ = watchedReach_;
    watchedReach_ = reach;
    return true;
}

void WebShell::Watch() {
    // The lines between games one after the other; after a game, a pause first. A live
    // game's next lines are waited for.
    for (int64_t before = frame();;) {
        if (!RunNextIdleLine()) {
            if (!liveOpen_) break;
            page::Wait(-1.0, true);
            DispatchPending();
            continue;
        }
        if (frame() != before && !CatchingUp()) page::Wait(kWatchPauseMillis, false);
        before = frame();
    }
    page::WatchEnded();
}

void WebShell::WaitForEvents() {
    page::Wait(-1.0, true);
    lastBrowserTurn_ = page::NowMillis();
}

void WebShell::DoEvents() {
    // A live game's next frame waits until its lines are all here.
    while (liveOpen_ && watchedReach_ <= frame()) {
        page::Wait(-1.0, true);
        DispatchPending();
        lastBrowserTurn_ = page::NowMillis();
    }
    Yield([this] {
        page::MarkViewscreenDirty();
        WaitOutEmulatedTime(true);
        DispatchPending();
        if (page::NowMillis() - lastBrowserTurn_ > kLongestTurnMillis) {
            page::Wait(0.0, false);
            lastBrowserTurn_ = page::NowMillis();
        }
    });
}

void WebShell::WaitOutEmulatedTime(bool handleEvents) {
    for (;;) {
        if (handleEvents) DispatchPending();
        if (CatchingUp()) {
            pacer_.Restart();  // the pace starts afresh where the game has caught up
            return;
        }
        const double lead = pacer_.Lead(game().surface().EmulatedMicros());
        if (lead < kBatchMicros) return;
        page::Wait(Pacer::WaitMillis(lead), handleEvents);
        lastBrowserTurn_ = page::NowMillis();
    }
}

void WebShell::RunModal(const std::string& window, const ModalHandler& handler) {
    // One modal window at a time: the main window's input is closed to a second one.
    modalWindow_ = window;
    modalHandler_ = handler;
    modalClose_ = false;
    if (linesLoaded()) {
        // The recorded answers are already given; the viewer sees the window, then it closes.
        if (!CatchingUp()) page::Wait(kWatchPauseMillis, false);
        handler(DialogEvent{"Form_Close", 0}, modalClose_);
    }
    while (!modalClose_) {
        page::Wait(-1.0, true);
        DispatchPending();
    }
    modalWindow_.clear();
    modalHandler_ = nullptr;
    page::CloseWindow();
    // The player's time in a modal window is not the game's.
    pacer_.Restart();
    lastBrowserTurn_ = page::NowMillis();
}

ScreenSize WebShell::RealScreenSize() {
    return {page::ScreenWidth(), page::ScreenHeight()};
}

void WebShell::ShowMessageBox(const std::string& text) {
    page::OpenWindow("MsgBox", text.c_str());
    RunModal("MsgBox", CloseOnOk);
}

void WebShell::ShowSettingsDialog(SettingsDialog& dialog) {
    page::OpenWindow("frmStart", "");
    dialog.Form_Load();
    AnswerDialog(dialog);
    page::SetScrollValue(dialog.scrollValue());
    RunModal("frmStart", [&dialog](const DialogEvent& e, bool& close) {
        if (e.handler == "HScroll1_Change") {
            dialog.SetScrollValue(static_cast<int16_t>(e.value));
        } else if (e.handler == "Command1_Click") {
            dialog.Command1_Click();
        } else if (e.handler == "cmdOK_Click" || e.handler == "Form_Close") {
            close = true;
        }
        // The bar stands where the rules left it.
        page::SetScrollValue(dialog.scrollValue());
    });
}

void WebShell::ShowOutcomeDialog(OutcomeDialog& dialog) {
    const char* name = OutcomeName(dialog.kind());
    page::OpenWindow(name, "");
    dialog.Form_Load();
    AnswerDialog(dialog);
    if (!dialog.changeWinscoreEnabled()) page::SetEnabled("cmdChangeWinscore", false);
    RunModal(name, [&dialog](const DialogEvent& e, bool& close) {
        if (e.handler == "cmdClose_KeyPress") {
            dialog.cmdClose_KeyPress(e.value);
        } else if (e.handler == "cmdClose_Click") {
            close = dialog.cmdClose_Click();
        } else if (e.handler == "cmdChangeWinscore_Click") {
            dialog.cmdChangeWinscore_Click();
            page::SetEnabled("cmdChangeWinscore", dialog.changeWinscoreEnabled());
        } else if (e.handler == "Form_Close") {
            close = true;  // the close box acts as OK
        }
    });
}

void WebShell::ShowAboutBox() {
    page::OpenWindow("frmAbout", "");
    RunModal("frmAbout", CloseOnOk);
}

void WebShell::ShowMainWindow() {
    page::MarkViewscreenDirty();
}

void WebShell::ResetMainWindow() {
    // The window comes back as it was designed, which is not minimised: the game starts.
    MainWindowReset();
    page::ResetMainWindow();
    page::MarkViewscreenDirty();
}

void WebShell::EndProgram() {
    page::Ended();
    // Nothing runs after the end: the thread sleeps for good and no event is handled.
    for (;;) page::Wait(-1.0, false);
}

void WebShell::SetPlayControlsEnabled(bool enabled) {
    playControlsEnabled_ = enabled;
    page::SetPlayControlsEnabled(enabled);
}

void WebShell::SetText(Readout which, const std::string& text) {
    page::SetText(ReadoutName(which), text.c_str());
}

void WebShell::SetTorpedoIndicator(int slot, bool ready) {
    static constexpr const char* kOptions[] = {"Option1", "Option2", "Option3"};
    if (slot < 1 || slot > 3) return;
    page::SetChecked(kOptions[slot - 1], ready);
}

void WebShell::FocusViewscreen() {
    // Also after the teardown has cleared the viewscreen: it is drawn again.
    page::Focus("Picture1");
    page::MarkViewscreenDirty();
}

void WebShell::PlaySound(int soundid, int playflags) {
    if (CatchingUp()) return;  // a watched game catching up is silent
    const double millis = page::PlaySound(soundid);
    // A synchronous sound holds everything up until it has ended; the player's input
    // waits for it.
    if ((playflags & kSoundPlaysOn) == 0 && millis > 0) {
        page::Wait(millis, false);
        pacer_.Restart();
        lastBrowserTurn_ = page::NowMillis();
    }
}

void WebShell::PresentViewscreen() {
    page::DrawViewscreenNow();
    // The flash stays on screen for its emulated time; the player's input waits for it.
    WaitOutEmulatedTime(false);
}

uint64_t WebShell::RealClockSeed() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace korvane

// The page's questions about the game in play; none of them waits, so the page may ask
// while the game's thread waits for the browser.
extern "C" {

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
// `dialog` is not 0; valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* korvane_batch_marks(int number, int dialog) {
    static std::string text;
    text = korvane::script::WriteBatchMarks(
        {korvane_frames_recorded(), dialog != 0, std::optional<int64_t>(number)});
    return text.c_str();
}

}  // extern "C"
