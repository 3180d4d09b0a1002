// What the page asks the game rather than knowing it itself: the viewscreen's size, the
// recording language's words for the player's input, the keys of a dialog and the controls
// of a pad by name, when a gamepad's control counts as released, and which windows tell of
// the ship's loss. page.js, pad.js and thumbs.js call these as Module._NAME from their own
// turns of the event loop; none of them changes the game, and a list is JSON or names
// apart by blanks, read once.

#include <emscripten.h>

#include <map>
#include <string>
#include <utility>

#include "command_table.h"
#include "commands.h"
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

// The recording language's command for each kind of the player's input, as JSON: the page
// writes its lines with these, so that the command table stays the one place that names them.
EMSCRIPTEN_KEEPALIVE const char* korvane_input_commands() {
    namespace cmd = korvane::script::cmd;
    static const std::string json = std::string("{\"button\":\"") + cmd::kClick +
                                    "\",\"key\":\"" + cmd::kKeyUp + "\",\"mouse\":\"" +
                                    cmd::kMouseUp + "\",\"hidden\":\"" + cmd::kMinimise +
                                    "\",\"shown\":\"" + cmd::kRestore +
                                    "\",\"seed\":\"" + cmd::kSeed + "\"}";
    return json.c_str();
}

// The keys a pad's controls stand for in a dialog (pad::DialogKeyFor: Enter, the arrows
// left and right), as JSON; Enter is also the character an outcome dialog's OK hears
// pressed.
EMSCRIPTEN_KEEPALIVE const char* korvane_dialog_keys() {
    static const std::string json = "{\"enter\":" + std::to_string(korvane::pad::kEnterKey) +
                                    ",\"left\":" + std::to_string(korvane::keycode::kLeft) +
                                    ",\"right\":" + std::to_string(korvane::keycode::kRight) +
                                    "}";
    return json.c_str();
}

// The controls of a pad with the standard layout that the controls for thumbs stand for,
// by name, as JSON: each number is what korvane_pad_button and the pad's table take.
EMSCRIPTEN_KEEPALIVE const char* korvane_pad_controls() {
    namespace pad = korvane::pad;
    static const std::string json = [] {
        const std::pair<const char*, pad::Control> named[] = {
            {"a", pad::kA},
            {"b", pad::kB},
            {"x", pad::kX},
            {"y", pad::kY},
            {"leftShoulder", pad::kLeftShoulder},
            {"rightShoulder", pad::kRightShoulder},
            {"back", pad::kBack},
            {"start", pad::kStart},
            {"dpadUp", pad::kDpadUp},
            {"dpadDown", pad::kDpadDown},
            {"dpadLeft", pad::kDpadLeft},
            {"dpadRight", pad::kDpadRight},
        };
        std::string all;
        for (const auto& [name, control] : named) {
            all += std::string(all.empty() ? "{" : ",") + "\"" + name +
                   "\":" + std::to_string(static_cast<int>(control));
        }
        return all + "}";
    }();
    return json.c_str();
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
