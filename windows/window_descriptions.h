#pragma once
// Every window of the game as it was laid out: its name, caption and client size, and each
// control's name, kind, box and text, in creation order (which is the tab order). The
// desktop builds its Qt windows from these and the browser page its elements, so that both
// show the same windows. What a control does is each front end's own wiring.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace korvane {

enum class ControlKind {
    Viewscreen,    // the game's surface
    TableButtons,  // the main window's buttons `name` to `text` of the button table
    Button,        // a command button; its caption wraps inside it
    LinkButton,    // a button that opens the web address it shows
    SystemButton,  // a plain button whose "&" marks its access key
    Label,
    Title,    // a label in the bold title font
    Message,  // a label in the outcome dialogs' large font
    TextBox,  // a read-out the game writes
    ScrollBar,
    Icon,        // the program's icon
    Line,        // a black line
    Picture,     // the absorption dialog's picture (vessik_picture.h)
    TorpedoBox,  // a red box holding the indicator that follows it
    Indicator,   // an option button only the game sets; its box is within the torpedo box
};

struct ControlInfo {
    const char* name;
    ControlKind kind;
    std::array<int, 4> box;  // left, top, width and height in the client area
    const char* text = "";
    int low = 0, high = 0;  // a scroll bar's range
};

struct WindowInfo {
    const char* name;
    const char* caption;
    int width;  // the client area; 0 for a message box, which is as large as its text
    int height;
    const char* focus;  // the control with the focus (a button there is the default)
    std::span<const ControlInfo> controls;
};

// Every window, the message box last; a window added here needs no count changed.
extern const std::span<const WindowInfo> kWindows;

// The window of that name (OutcomeName for an outcome's); the message box for an unknown one.
const WindowInfo& WindowNamed(std::string_view name);

// The name the page gives a kind of control.
const char* KindName(ControlKind kind);

}  // namespace korvane
