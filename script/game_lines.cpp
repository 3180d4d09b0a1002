#include "game_lines.h"

#include <cstdio>

#include "commands.h"
#include "state_names.h"

namespace korvane::script {

bool RunGameLine(Game& game, const ScriptLine& line,
                 const std::function<void(const std::string&)>& print) {
    const std::string& c = line.command;
    if (c == "keyup") {
        Form_KeyUp(game, std::stoi(line.args[0]), 0);
    } else if (c == "mouseup") {
        Picture1_MouseUp(game, std::stoi(line.args[0]), 0, std::stod(line.args[1]),
                         std::stod(line.args[2]));
    } else if (c == "set") {
        std::vector<StateVar> names = NameTable(game.state());
        const StateVar* var = FindStateVar(names, line.args[0]);
        SetStateVar(*var, var->kind == StateVar::Kind::Text ? line.rest : line.args[1]);
    } else if (c == "print") {
        std::vector<StateVar> names = NameTable(game.state());
        print("var " + line.args[0] + " " + FormatStateVar(*FindStateVar(names, line.args[0])));
    } else if (c == "dump") {
        for (const StateVar& var : NameTable(game.state())) {
            print("var " + var.name + " " + FormatStateVar(var));
        }
    } else if (c == "pixel") {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X",
                      game.surface().PeekPixel(std::stoi(line.args[0]), std::stoi(line.args[1])));
        print("pixel " + line.args[0] + " " + line.args[1] + " " + hex);
    } else {
        return false;
    }
    return true;
}

}  // namespace korvane::script
