// korvane-hall: the hall of fame server, `korvane-hall verify FILE`, and the operator's
// hide, unhide and release.
#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "store/database_url.h"
#include "hall_options.h"
#include "hall_server.h"
#include "korvane_version.h"
#include "operator_commands.h"
#include "store/store.h"
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
            return VerifyFile(options->file, options->ticketSeed);
        default:
            break;
    }
    // Qt SQL finds its drivers through the application's plugin paths.
    QCoreApplication app(argc, argv);
    if (options->mode == HallOptions::Mode::Hide || options->mode == HallOptions::Mode::Unhide)
        return HideScore(*options, options->mode == HallOptions::Mode::Hide);
    if (options->mode == HallOptions::Mode::Release) return ReleaseName(*options);
    const std::string password = ReadPasswordFile(options->passwordFile, why);
    Store store(options->database, password);
    if (!why.empty() || !store.Open(why)) {
        std::fprintf(stderr, "korvane-hall: %s: %s\n", MaskedDatabase(options->database).c_str(),
                     why.c_str());
        return 1;
    }
    return Serve(*options, store);
}
