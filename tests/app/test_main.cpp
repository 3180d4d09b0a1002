// Widget tests run real Qt widgets without a screen.
#include <gtest/gtest.h>

#include <QApplication>

#include "look.h"

int main(int argc, char** argv) {
    // The offscreen platform unless the caller chose one; never a real display by accident.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    korvane::look::InstallLook(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
