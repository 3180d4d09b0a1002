#include "operator_commands.h"

#include <cstdio>

#include "database_url.h"
#include "store.h"

namespace korvane::hall {

int HideScore(const HallOptions& options, bool hidden) {
    std::string why;
    const std::string password = ReadPasswordFile(options.passwordFile, why);
    Store store(options.database, password);
    if (!why.empty() || !store.Open(why)) {
        std::fprintf(stderr, "korvane-hall: %s: %s\n", MaskedDatabase(options.database).c_str(),
                     why.c_str());
        return 1;
    }
    try {
        if (!store.SetHidden(options.scoreId, hidden, hidden ? options.reason : "")) {
            std::fprintf(stderr, "korvane-hall: no score has the id %lld\n",
                         static_cast<long long>(options.scoreId));
            return 1;
        }
    } catch (const StoreError& e) {
        std::fprintf(stderr, "korvane-hall: %s\n", e.what());
        return 1;
    }
    std::printf("score %lld %s\n", static_cast<long long>(options.scoreId),
                hidden ? "hidden" : "shown again");
    return 0;
}

}  // namespace korvane::hall
