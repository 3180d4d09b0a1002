// What the page asks the game rather than knowing it itself: the viewscreen's size, when a
// gamepad's control counts as released, and which windows tell of the ship's loss. page.js and pad.js call these as Module._NAME; none
// of them waits, so the page may call them while the game's own thread waits for the browser.

#include <emscripten.h>

#include <map>
#include <string>

#include "gamepad.h"
#include "outcome_dialog_rules.h"
#include "surface.h"

namespace {

// The pads the page reads, by the browser's index of each.
std::map<int, korvane::pad::PadState>& Pads() {
    static std::map<int, korvane::pad::PadState> pads;
    return pads;
}

int Released(std::optional<korvane::pad::Control> control) {
    return control ? static_cast<int>(*control) : -1;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int korvane_viewscreen_width() {
    return korvane::Surface::kWidth;
}

EMSCRIPTEN_KEEPALIVE int korvane_viewscreen_height() {
    return korvane::Surface::kHeight;
}

// A button of pad `pad` now at `value` (0 up to 1 down): the control this released, or -1.
EMSCRIPTEN_KEEPALIVE int korvane_pad_button(int pad, int button, double value) {
    if (button < 0 || button >= korvane::pad::kStickUp) return -1;
    return Released(Pads()[pad].SetButton(static_cast<korvane::pad::Control>(button), value));
}

// An axis of pad `pad`'s left stick (0 across, 1 down) now at `value`, -1 to 1: the stick's
// direction this released, or -1.
EMSCRIPTEN_KEEPALIVE int korvane_pad_stick(int pad, int axis, double value) {
    return Released(Pads()[pad].SetStickAxis(axis, value));
}

// A pad gone: its controls are forgotten without a release.
EMSCRIPTEN_KEEPALIVE void korvane_pad_forget(int pad) {
    Pads().erase(pad);
}

// The names of the outcome windows that tell of the ship's loss (every outcome but the
// victory, the last kind), one blank between two.
EMSCRIPTEN_KEEPALIVE const char* korvane_loss_windows() {
    static const std::string names = [] {
        using korvane::OutcomeKind;
        std::string all;
        for (int k = 0; k < static_cast<int>(OutcomeKind::frmUWin); ++k) {
            all += std::string(all.empty() ? "" : " ") + OutcomeName(static_cast<OutcomeKind>(k));
        }
        return all;
    }();
    return names.c_str();
}

}  // extern "C"
