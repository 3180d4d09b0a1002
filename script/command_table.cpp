#include "command_table.h"

#include <algorithm>
#include <cstdio>

#include "buttons.h"
#include "command_hub.h"
#include "commands.h"
#include "game.h"
#include "state_names.h"

namespace korvane::script {

namespace {

void RequireArgs(const ScriptLine& line, size_t count) {
    if (line.args.size() < count) {
        throw ScriptError(line.lineNumber, "missing argument to " + line.command);
    }
    if (line.args.size() > count) {
        throw ScriptError(line.lineNumber, "too many arguments to " + line.command);
    }
}

int64_t RequireInt(const ScriptLine& line, size_t index, const char* what, int64_t lo, int64_t hi) {
    const std::string& text = line.args[index];
    std::optional<int64_t> v = ParseInt(text);
    if (!v)
        throw ScriptError(line.lineNumber, std::string("malformed ") + what + " " + Quoted(text));
    if (*v < lo || *v > hi) {
        throw ScriptError(line.lineNumber, std::string(what) + " " + text + " is out of range " +
                                               std::to_string(lo) + " to " + std::to_string(hi));
    }
    return *v;
}

void RequireName(const ScriptLine& line) {
    if (!StateVarKind(line.args[0])) {
        throw ScriptError(line.lineNumber, "unknown name " + Quoted(line.args[0]));
    }
}

// A value for a variable: checked without touching the game state.
void RequireValue(const ScriptLine& line) {
    if (line.args.size() < 2)
        throw ScriptError(line.lineNumber, "missing argument to " + line.command);
    RequireName(line);
    if (*StateVarKind(line.args[0]) == StateVar::Kind::Text) return;
    RequireArgs(line, 2);
    if (!NormaliseValue(*StateVarKind(line.args[0]), line.args[1])) {
        throw ScriptError(line.lineNumber, "malformed value " + Quoted(line.args[1]));
    }
}

void NoArgs(const ScriptLine& line) {
    RequireArgs(line, 0);
}

void CheckXY(const ScriptLine& line, size_t from) {
    RequireInt(line, from, "x", -32768, 32767);
    RequireInt(line, from + 1, "y", -32768, 32767);
}

using L = const ScriptLine&;
using H = CommandHub&;

}  // namespace

// clang-format off
const std::array<Command, kCommandCount> kCommands = {{
    {cmd::kClick, "NAME", Recorded::AsGiven, true,
     [](L l) {
         RequireArgs(l, 1);
         if (!FindButton(l.args[0]))
             throw ScriptError(l.lineNumber, "unknown button " + Quoted(l.args[0]));
     },
     [](H h, L l) { return h.ClickButton(*FindButton(l.args[0])); }},
    {cmd::kKeyUp, "CODE", Recorded::AsGiven, true,
     [](L l) { RequireArgs(l, 1); RequireInt(l, 0, "key code", 0, 65535); },
     [](H h, L l) { return Form_KeyUp(h.game(), std::stoi(l.args[0])); }},
    {cmd::kMouseUp, "BUTTON X Y", Recorded::AsGiven, true,
     [](L l) {
         RequireArgs(l, 3);
         if (RequireInt(l, 0, "mouse button", 1, 4) == 3)
             throw ScriptError(l.lineNumber, "mouse button 3 is not 1, 2 or 4");
         CheckXY(l, 1);
     },
     [](H h, L l) {
         Picture1_MouseUp(h.game(), std::stoi(l.args[0]), 0, std::stod(l.args[1]),
                          std::stod(l.args[2]));
         return Task();
     }},
    {cmd::kMinimise, "", Recorded::AsChosen, true, NoArgs, [](H h, L) { h.SetMinimised(true); return Task(); }},
    {cmd::kRestore, "", Recorded::AsChosen, true, NoArgs, [](H h, L) { h.SetMinimised(false); return Task(); }},
    {cmd::kClose, "", Recorded::AsGiven, true, NoArgs,  // the main window's close box
     [](H h, L) { return h.game().Form_QueryUnload(UnloadReason::ByUser); }},
    {cmd::kSet, "NAME VALUE", Recorded::No, false, RequireValue,
     [](H h, L l) {
         const StateVar var = *FindStateVar(h.game().state(), l.args[0]);
         SetStateVar(var, var.kind == StateVar::Kind::Text ? l.rest : l.args[1]);
         return Task();
     }},
    {cmd::kPrint, "NAME", Recorded::No, false,
     [](L l) { RequireArgs(l, 1); RequireName(l); },
     [](H h, L l) {
         const StateVar var = *FindStateVar(h.game().state(), l.args[0]);
         h.Print("var " + l.args[0] + " " + FormatStateVar(var));
         return Task();
     }},
    {cmd::kDump, "", Recorded::No, false, NoArgs,
     [](H h, L) {
         for (const StateVar& var : NameTable(h.game().state()))
             h.Print("var " + std::string(var.name) + " " + FormatStateVar(var));
         return Task();
     }},
    {cmd::kExpect, "NAME VALUE", Recorded::AsChecked, true, RequireValue,
     [](H h, L l) {
         const std::optional<std::string> what = Desync(h.game().state(), l);
         if (what) h.ExpectFailed(l, *what);
         return Task();
     }},
    {cmd::kLogged, "FRAMES [COUNT] EVENT", Recorded::No, false,
     [](L l) { ReadLoggedCheck(l); }, [](H h, L l) { h.CheckLogged(l); return Task(); }},
    {cmd::kPixel, "X Y", Recorded::No, false,
     [](L l) { RequireArgs(l, 2); CheckXY(l, 0); },
     [](H h, L l) {
         char hex[16];
         const Color c = h.game().surface().PeekPixel(std::stoi(l.args[0]), std::stoi(l.args[1]));
         std::snprintf(hex, sizeof hex, "0x%08X", c);
         h.Print(l.command + " " + l.args[0] + " " + l.args[1] + " " + hex);
         return Task();
     }},
    {cmd::kScreen, "FILE", Recorded::No, false, [](L l) { RequireArgs(l, 1); },
     [](H h, L l) { h.WriteScreen(l); return Task(); }},
    {cmd::kStars, "N", Recorded::AsChosen, true,
     [](L l) { RequireArgs(l, 1); RequireInt(l, 0, "star count", kMinStars, kMaxStars); },
     [](H h, L l) { h.AnswerStars(std::stoi(l.args[0])); return Task(); }},
    {cmd::kDefaultStars, "", Recorded::AsChosen, true, NoArgs,
     [](H h, L) { h.AnswerStars(std::nullopt); return Task(); }},
    {cmd::kHarder, "", Recorded::AsChosen, true, NoArgs, [](H h, L) { h.AnswerHarder(); return Task(); }},
    {cmd::kSeed, "N", Recorded::AsChosen, true,
     [](L l) {
         RequireArgs(l, 1);
         if (!ParseSeed(l.args[0]))
             throw ScriptError(l.lineNumber, "malformed seed " + Quoted(l.args[0]));
     },
     [](H h, L l) { h.AnswerSeed(*ParseSeed(l.args[0])); return Task(); }},
    {cmd::kScreenSize, "WxH", Recorded::AsChosen, true,
     [](L l) {
         RequireArgs(l, 1);
         if (!ParseScreenSize(l.args[0]))
             throw ScriptError(l.lineNumber, "malformed screen size " + Quoted(l.args[0]) +
                                                 ", expected WxH, each at most 100000");
     },
     [](H h, L l) { h.AnswerScreen(*ParseScreenSize(l.args[0])); return Task(); }},
}};
// clang-format on

const Command* FindCommand(std::string_view name) {
    const auto* row = std::find_if(kCommands.begin(), kCommands.end(),
                                   [name](const Command& c) { return c.name == name; });
    return row == kCommands.end() ? nullptr : row;
}

bool HallRecordingMayHold(std::string_view name) {
    const Command* row = FindCommand(name);
    return row && row->hallMayHold;
}

ScriptLine MakeLine(const char* command, std::vector<std::string> args) {
    ScriptLine line;
    line.command = command;
    line.args = std::move(args);
    line.rest = LineText(line).substr(line.command.size() + (line.args.empty() ? 0 : 1));
    return line;
}

std::string LineText(const ScriptLine& line) {
    std::string text = line.command;
    for (const std::string& arg : line.args) text += " " + arg;
    return text;
}

}  // namespace korvane::script
