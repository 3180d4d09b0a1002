// The main() of every test program that builds real widgets: Qt's offscreen platform and
// SDL's silent audio unless the environment names others, and the game's own look, as the
// program installs it.
#include <gtest/gtest.h>

#include <QApplication>

#include "look.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    korvane::look::InstallLook(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
