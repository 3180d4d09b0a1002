// korvane-hall: the hall of fame server, and `korvane-hall verify FILE`.
#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "hall_options.h"
#include "hall_server.h"
#include "korvane_version.h"
#include "store.h"
#include "verify_command.h"

int main(int argc, char** argv) {
    using namespace korvane::hall;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string why;
    const std::optional<HallOptions> options = ParseHallOptions(args, why);
    if (!options) {
        std::fprintf(stderr, "korvane-hall: %s\n", why.c_str());
        return 2;
    }
    switch (options->mode) {
        case HallOptions::Mode::Help:
            std::fputs(kHallHelp, stdout);
            return 0;
        case HallOptions::Mode::Version:
            std::puts("korvane-hall " KORVANE_VERSION);
            return 0;
        case HallOptions::Mode::Verify:
            return VerifyFile(options->verifyFile);
        case HallOptions::Mode::Serve:
            break;
    }
    // Qt SQL finds its drivers through the application's plugin paths.
    QCoreApplication app(argc, argv);
    Store store(options->database);
    if (!store.Open(why)) {
        std::fprintf(stderr, "korvane-hall: %s: %s\n", options->database.c_str(), why.c_str());
        return 1;
    }
    return Serve(*options, store);
}
