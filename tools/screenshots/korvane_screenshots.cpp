// Takes the README's pictures from the real program: a game in progress, the settings
// dialog and a victory. The game is played for real; only the cube's height and the score
// are set directly, so that the pictures come within seconds instead of minutes of play.
// Every step happens at a fixed frame of a game with a fixed seed and screen size, never
// after so much wall-clock time, so that each run gives the same pictures, byte for byte.
//   korvane-screenshots OUTPUT_DIR      (run by tools/make_screenshots.sh under Xvfb)

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>

#include "buttons.h"
#include "look.h"
#include "program.h"

namespace {

using korvane::Game;
using korvane::Program;

QPushButton* Button(QWidget* parent, const char* name) {
    return parent->findChild<QPushButton*>(QString::fromLatin1(name));
}

// The main window with the open modal dialog painted where it stands on the screen.
QImage WindowWithDialog(QWidget* window, QWidget* dialog) {
    QImage picture = window->grab().toImage();
    if (dialog) {
        QPainter painter(&picture);
        const QPoint at = dialog->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0));
        painter.drawImage(at, dialog->grab().toImage());
    }
    return picture;
}

// A button's command at once, inside the frame's yield, where a step stands: a click would be
// kept for after the yield's wait, and the picture taken before it acted.
void Press(Program& program, const char* name) {
    korvane::Task command = program.shell().ClickButton(*korvane::FindButton(name));
    command.Start();
}

// Runs `step` once a modal window is open.
void WhenModal(std::function<void(QWidget*)> step) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            step(modal);
        }
    });
    timer->start(20);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvane-screenshots OUTPUT_DIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    korvane::look::InstallLook(app);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    // No blinking caret or cursor: a picture never depends on when it is taken.
    QApplication::setCursorFlashTime(0);
    // Nor a button lit by the pointer: the X server starts it mid-screen, where the victory
    // dialog's buttons stand, and whether the hover lands before the picture is a race.
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
    Program program;
    // Every game start sees the same seed and screen: a game in which the cube neither drops
    // a globe nor fires before the pictures.
    program.shell().AnswerSeed(1);
    program.shell().AnswerScreen({1024, 768});
    // Each step runs at the start of its frame's yield, as korvane --replay runs a recording.
    std::map<int64_t, std::function<void()>> steps;
    program.shell().OnYield([&] {
        if (const auto step = steps.find(program.shell().frame()); step != steps.end())
            step->second();
    });
    Game& game = program.game();
    QWidget* window = &program.window();
    game.Main();
    int saved = 0;
    auto save = [&](const QImage& image, const char* name) {
        if (image.save(out.filePath(QString::fromLatin1(name)))) ++saved;
    };

    // The settings dialog, as every game begins.
    WhenModal([&](QWidget* settings) {
        QApplication::processEvents();
        save(WindowWithDialog(window, settings), "screenshot-settings.png");
        Button(settings, "cmdOK")->click();
    });

    // A game: the ship moving, crosshairs aimed, a torpedo in flight and the phasers firing.
    // At 150 stars a frame is 5 ms of the game's own time.
    steps[120] = [&] {
        // Left of where the victory dialog will stand, so that the wreck shows beside it.
        game.state().cubey = 190;
        game.state().cubex = 0;
        Press(program, "cmdXhairup");
        Press(program, "cmdLeft");
    };
    steps[280] = [&] { Press(program, "cmdPhoton"); };
    steps[340] = [&] { Press(program, "cmdXhairup"); };
    steps[400] = [&] {
        Press(program, "cmdPhaser");
        save(window->grab().toImage(), "screenshot-game.png");
        Press(program, "cmdStop");
    };

    // Victory: the score set just past the win score; the frame's win test does the rest.
    steps[520] = [&] {
        WhenModal([&](QWidget* victory) {
            QApplication::processEvents();
            save(WindowWithDialog(window, victory), "screenshot-victory.png");
            Button(victory, "cmdClose")->click();
        });
        game.state().score = game.state().winscore + 1;
        game.ShowScore();
    };

    QTimer::singleShot(0, [&] {
        Button(window, "cmdStart")->click();
        // Once the game has ended, leave the event loop without closing the window, which
        // would end the program.
        program.shell().WhenSettled([&] { QApplication::exit(saved == 3 ? 0 : 1); });
    });
    const int code = QApplication::exec();
    std::printf("saved %d pictures in %s\n", saved, argv[1]);
    return code;
}
