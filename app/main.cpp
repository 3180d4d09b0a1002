// Korvane: the desktop program. The game starts in its Main, which shows the main window;
// from then on everything happens in the window's events.

#include <QApplication>
#include <cstdio>

#include "command_line.h"
#include "look.h"
#include "program.h"

int main(int argc, char** argv) {
    // Answered before the window system is touched, so that they work without a display.
    if (auto answer = korvane::AnswerCommandLine({argv + 1, argv + argc})) {
        std::fputs(answer->out.c_str(), stdout);
        std::fputs(answer->err.c_str(), stderr);
        return answer->exitCode;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("korvane");
    QApplication::setApplicationVersion("1.02");
    QGuiApplication::setDesktopFileName("org.korvane.Korvane");
    korvane::look::InstallLook(app);
    korvane::Program program;
    program.game().Main();
    return app.exec();
}
