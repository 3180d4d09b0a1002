#pragma once
// The C++ side's calls into the page (page.js): the controls, the overlays of the modal
// windows, the canvas, the sounds and the event queue. Elements are found by their
// control names. Most are the page's own JavaScript, called directly (page.cpp); a flag
// is passed as 0 or 1.

#include <cstdint>
#include <string>

namespace korvane::page {

// Takes the oldest queued event of the page: the window it is for and its text (a command
// line for the main window frmKorvane, "HANDLER [NUMBER]" for a dialog); false when there
// is none.
bool TakeEvent(std::string& window, std::string& text);
// Asks the page to step the game (korvane_step) in ms milliseconds (below 0: not by time),
// or with wakeOnEvent as soon as an event comes; returns at once. The page steps it from a
// turn of its own, never from inside this call.
void Sleep(double ms, bool wakeOnEvent);
double NowMillis();

// Every window's description (the main window's buttons from the game's table of them) and
// the absorption dialog's picture; the page builds the main window at once, and each modal
// window when it opens.
void DefineWindows();

extern "C" {
// The gamepad: how many buttons the page reads, which controls the left stick's axes are
// (left, right, up, down), and for each control the main window's command line
// ("keyup 32", "click cmdStart", empty for none) and the key it stands for in a dialog (0 for
// none).
void DefinePad(int buttonCount, int left, int right, int up, int down);
void DefinePadControl(int control, const char* line, int dialogKey);
void DefineSound(int id, const unsigned char* bytes, int size);
// A key the game acts on: the page keeps its presses from the browser.
void DefineKey(int code);
void AttachViewscreen(const uint32_t* pixels);
// The canvas is redrawn from the surface at the next display frame, or at once.
void MarkViewscreenDirty();
void DrawViewscreenNow();

// A described window; message is a message box's text.
void OpenWindow(const char* name, const char* message);
void CloseWindow();
void SetText(const char* id, const char* text);
void SetEnabled(const char* id, int enabled);
void SetChecked(const char* id, int checked);
void SetScrollValue(int value);
void SetPlayControlsEnabled(int enabled);
void ResetMainWindow();
void Focus(const char* id);

// The screen in the device's own pixels: a phone's CSS pixels are each several of them.
int ScreenWidth();
int ScreenHeight();

// Starts a sound, cutting off the one playing; the sound's length in milliseconds, or 0
// when nothing plays (sound blocked by the browser, or no such sound).
double PlaySound(int id);
// The session's recording, line by line; the session so far replays the last game.
void Record(const char* line);
void GameRecorded();
void Ready();
void Ended();
// A watched recording has played to its end (or could not be read).
void WatchEnded();
}

}  // namespace korvane::page
