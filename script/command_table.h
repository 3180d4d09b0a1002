#pragma once
// The recording language's commands, one row each: the reader checks a line against its row,
// the hub runs it with the row's action, the recording writes what the row says it holds, and
// the hall takes from the rows what a player's recording may hold. docs/korvane-sim.md's
// table of commands is held to this one by a test.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script.h"
#include "task.h"

namespace korvane::script {

class CommandHub;

// The commands' names, for the code that writes or picks out a line.
namespace cmd {
inline constexpr const char* kClick = "click";
inline constexpr const char* kKeyUp = "keyup";
inline constexpr const char* kMouseUp = "mouseup";
inline constexpr const char* kMinimise = "minimise";
inline constexpr const char* kRestore = "restore";
inline constexpr const char* kClose = "close";
inline constexpr const char* kSet = "set";
inline constexpr const char* kPrint = "print";
inline constexpr const char* kDump = "dump";
inline constexpr const char* kExpect = "expect";
inline constexpr const char* kLogged = "logged";
inline constexpr const char* kPixel = "pixel";
inline constexpr const char* kScreen = "screen";
inline constexpr const char* kStars = "stars";
inline constexpr const char* kDefaultStars = "default-stars";
inline constexpr const char* kHarder = "harder";
inline constexpr const char* kSeed = "seed";
inline constexpr const char* kScreenSize = "screensize";
}  // namespace cmd

// How a recording holds a command.
enum class Recorded {
    No,         // never: the tools of a script (set, print, a check of the log ...)
    AsGiven,    // the player's command, in the frame whose yield handled it
    AsChosen,   // what a start saw or the player chose in a window
    AsChecked,  // where the game stood after each game
};

struct Command {
    const char* name;
    const char* arguments;  // as the docs write them
    Recorded recorded;
    bool hallMayHold;  // a recording sent to the hall may hold it
    // Throws ScriptError for a line whose arguments are wrong.
    void (*check)(const ScriptLine& line);
    // What the line does; a task, for a command may open a game or a dialog.
    Task (*run)(CommandHub& hub, const ScriptLine& line);
};

inline constexpr std::size_t kCommandCount = 18;
extern const std::array<Command, kCommandCount> kCommands;

// The row of that name, or null.
const Command* FindCommand(std::string_view name);

// What the hall's gate lets through: the commands a player's recording holds.
bool HallRecordingMayHold(std::string_view name);

// The variables a recording checks after every game, in the order it writes them.
inline constexpr std::array<const char*, 9> kRecordedVariables = {
    "score", "highscore", "gametime", "x", "crossx", "crossy", "cubex", "cubey", "winscore"};

// A line of the language built from its parts, as the reader would read it.
ScriptLine MakeLine(const char* command, std::vector<std::string> args = {});
// A line as a script writes it: the command and its arguments, one space apart.
std::string LineText(const ScriptLine& line);

}  // namespace korvane::script
