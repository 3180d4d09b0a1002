#include "command_runner.h"

#include <cstdio>
#include <fstream>

#include "commands.h"
#include "settings_dialog_rules.h"
#include "state_names.h"

namespace korvane::script {

void CommandRunner::Run(const ScriptLine& line) {
    Game& g = game();
    const std::string& c = line.command;
    const std::vector<std::string>& a = line.args;
    if (c == "click") {
        ClickButton(*FindButton(a[0]));
    } else if (c == "keyup") {
        Form_KeyUp(g, std::stoi(a[0]), 0);
    } else if (c == "mouseup") {
        Picture1_MouseUp(g, std::stoi(a[0]), 0, std::stod(a[1]), std::stod(a[2]));
    } else if (c == "minimise" || c == "restore") {
        SetMinimised(c == "minimise");
    } else if (c == "close") {
        CloseMainWindow();
    } else if (c == "set") {
        const StateVar var = *FindStateVar(g.state(), a[0]);
        SetStateVar(var, var.kind == StateVar::Kind::Text ? line.rest : a[1]);
    } else if (c == "print") {
        Print("var " + a[0] + " " + FormatStateVar(*FindStateVar(g.state(), a[0])));
    } else if (c == "dump") {
        for (const StateVar& var : NameTable(g.state())) {
            Print("var " + std::string(var.name) + " " + FormatStateVar(var));
        }
    } else if (c == "pixel") {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X",
                      g.surface().PeekPixel(std::stoi(a[0]), std::stoi(a[1])));
        Print("pixel " + a[0] + " " + a[1] + " " + hex);
    } else if (c == "screen") {
        WriteScreen(line);
    } else if (c == "stars") {
        starsAnswer_ = StarsAnswer::Count;
        starsCount_ = std::stoi(a[0]);
    } else if (c == "default-stars") {
        starsAnswer_ = StarsAnswer::Default;
    } else if (c == "harder") {
        harder_ = true;
    } else if (c == "seed") {
        seed_ = ParseSeed(a[0]);
    } else if (c == "screensize") {
        screen_ = ParseScreenSize(a[0]);
    } else if (c == "expect") {
        if (const std::optional<std::string> what = Desync(g.state(), line)) {
            ExpectFailed(line, *what);
        }
    } else {
        Report("line " + std::to_string(line.lineNumber) + ": command " + Quoted(c) +
               " has no effect here");
    }
}

std::optional<ScriptLine> CommandRunner::ReadLine(const std::string& text) {
    std::vector<ScriptLine> lines;
    try {
        lines = ParseScript(text);
    } catch (const ScriptError& e) {
        Report(std::string(e.what()) + " in " + Quoted(text));
        return std::nullopt;
    }
    if (lines.size() != 1) {
        Report("not one command line: " + Quoted(text));
    } else if (lines[0].at) {
        Report("'at' runs a line in a recording's replay, not now: " + Quoted(text));
    } else {
        return lines[0];
    }
    return std::nullopt;
}

void CommandRunner::AnswerSettingsDialog(SettingsDialog& dialog) const {
    if (starsAnswer_ == StarsAnswer::Count) {
        dialog.SetScrollValue(static_cast<int16_t>(starsCount_));
    } else if (starsAnswer_ == StarsAnswer::Default) {
        dialog.Command1_Click();
    }
}

bool CommandRunner::TakeHarder() {
    const bool harder = harder_;
    harder_ = false;
    return harder;
}

void CommandRunner::ClickButton(const ButtonInfo& button) {
    if (button.playControl && !playControlsEnabled_) return;
    Click(game(), button);
}

void CommandRunner::CloseMainWindow() {
    game().Form_QueryUnload(UnloadReason::ByUser);
}

void CommandRunner::Print(const std::string& text) {
    std::printf("%lld %s\n", static_cast<long long>(frame_), text.c_str());
    std::fflush(stdout);
}

void CommandRunner::ExpectFailed(const ScriptLine& line, const std::string& what) {
    Report("line " + std::to_string(line.lineNumber) + ": frame " + std::to_string(frame_) +
           ": desync " + what);
}

void CommandRunner::Report(const std::string& message) {
    std::fprintf(stderr, "korvane: %s\n", message.c_str());
}

void CommandRunner::WriteScreen(const ScriptLine& line) {
    const std::string& path = line.args[0];
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << Surface::kWidth << ' ' << Surface::kHeight << "\n255\n";
    for (Color c : game().surface().Pixels()) {
        const char rgb[3] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                             static_cast<char>((c >> 16) & 0xFF)};
        out.write(rgb, 3);
    }
    out.close();
    if (!out) Report("line " + std::to_string(line.lineNumber) + ": cannot write " + Quoted(path));
}

}  // namespace korvane::script
