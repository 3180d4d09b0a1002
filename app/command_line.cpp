#include "command_line.h"

namespace korvane {

namespace {
const char kUsage[] = "Usage: korvane [--help | --version]\n";

const char kHelp[] =
    "Usage: korvane [--help | --version]\n"
    "\n"
    "Korvane: command the starship Halcyra against one huge Vessik cube, with phasers,\n"
    "photon torpedoes and shields. The game takes no options; choose the number of stars,\n"
    "which sets its speed, before every game.\n"
    "\n"
    "Keys (on release): Ctrl phasers, Space torpedo, arrows crosshairs, Z/C move left/right,\n"
    "X stop, S shields, H hint, A help/About, Q quit.\n"
    "Mouse over the viewscreen: left moves the crosshairs there, right fires phasers,\n"
    "middle launches a torpedo.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";
}  // namespace

std::optional<CommandLineAnswer> AnswerCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) return std::nullopt;
    if (args.size() == 1 && args[0] == "--help") return CommandLineAnswer{0, kHelp, ""};
    if (args.size() == 1 && args[0] == "--version") {
        return CommandLineAnswer{0, "korvane 1.02\n", ""};
    }
    return CommandLineAnswer{2, "", "korvane: unexpected argument '" + args[0] + "'\n" + kUsage};
}

}  // namespace korvane
