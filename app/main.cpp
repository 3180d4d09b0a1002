// Korvane: the desktop program. The game starts in its Main, which shows the main window;
// from then on everything happens in the window's events.

#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <memory>

#include "command_line.h"
#include "command_table.h"
#include "gamepads.h"
#include "hall_play.h"
#include "korvane_version.h"
#include "look.h"
#include "program.h"
#include "script.h"

namespace {

const char kNoDisplay[] = "korvane: needs a graphical desktop session (no display found)\n";

// Whether the window system is out of reach before Qt tries it: Qt gives up on a missing
// display with a fatal error and a core dump.
bool NoDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.startsWith("xcb")) return !x11;
    if (platform.startsWith("wayland")) return !wayland;
    if (!platform.isEmpty()) return false;  // offscreen, minimal, vnc...: no display needed
    return !x11 && !wayland;
}

// A display that is named but cannot be opened ends the same way, in one line: Qt's own
// messages while it starts are held back until it has started.
QStringList startUpMessages;
void StartUpMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        ::_exit(1);
    }
    startUpMessages << text;
}

// The recording to watch, read and checked whole before the window opens; a bad one is
// refused as korvane-sim refuses it.
bool ReadRecording(const std::string& path, std::vector<korvane::script::ScriptLine>& lines) {
    std::string text;
    std::string why;
    if (!korvane::script::ReadScriptFile(path, text, why)) {
        std::fprintf(stderr, "korvane: cannot read %s: %s\n", korvane::script::Quoted(path).c_str(),
                     why.c_str());
        return false;
    }
    try {
        lines = korvane::script::ParseScript(text);
    } catch (const korvane::script::ScriptError& e) {
        std::fprintf(stderr, "korvane: line %d: %s\n", e.lineNumber, e.what());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before the window system is touched, so that they work without a display.
    korvane::PlayOptions play;
    if (auto answer = korvane::AnswerCommandLine({argv + 1, argv + argc}, &play)) {
        std::fputs(answer->out.c_str(), stdout);
        std::fputs(answer->err.c_str(), stderr);
        return answer->exitCode;
    }
    std::vector<korvane::script::ScriptLine> recording;
    if (!play.replayPath.empty() && !ReadRecording(play.replayPath, recording)) return 2;
    // A hall game played from a recording's inputs starts from the hall's seed.
    if (!play.hallUrl.empty()) {
        std::erase_if(recording, [](const korvane::script::ScriptLine& line) {
            return line.command == korvane::script::cmd::kSeed;
        });
    }
    if (NoDisplay()) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }

    // Qt sees none of the options: they are the game's.
    static int qtArgc = 1;
    const QtMessageHandler defaultHandler = qInstallMessageHandler(StartUpMessage);
    QApplication app(qtArgc, argv);
    qInstallMessageHandler(defaultHandler);
    for (const QString& message : startUpMessages) qWarning("%s", qPrintable(message));
    QApplication::setApplicationName("korvane");
    QApplication::setApplicationVersion(KORVANE_VERSION);
    QGuiApplication::setDesktopFileName("org.korvane.Korvane");
    korvane::look::InstallLook(app);
    korvane::Program program;
    std::unique_ptr<korvane::HallPlay> hall;
    // A replay plays itself: the pads are left alone, as the keyboard is.
    std::unique_ptr<korvane::Gamepads> gamepads;
    if (!play.hallUrl.empty()) {
        // It records the game itself, into --record's file too.
        QStringList arguments;
        for (int a = 1; a < argc; ++a) arguments << QString::fromLocal8Bit(argv[a]);
        hall = std::make_unique<korvane::HallPlay>(
            program, QUrl(QString::fromStdString(play.hallUrl)), play.recordPath, arguments);
        // A fresh program would play the recording again from its start, and again.
        if (!play.replayPath.empty()) {
            hall->SetRestart([] {
                std::fputs("korvane: the recording's later games are not for the hall\n", stderr);
                return false;
            });
        }
    } else if (!play.recordPath.empty()) {
        program.shell().Record(play.recordPath);
    }
    if (play.replayPath.empty()) gamepads = std::make_unique<korvane::Gamepads>(program);
    program.game().Main();
    if (!play.replayPath.empty()) program.Replay(std::move(recording));
    return app.exec();
}
