#include "operator_commands.h"

#include <cstdio>
#include <memory>

#include "store/database_url.h"
#include "gate/name_check.h"
#include "player_key.h"
#include "store/player_store.h"
#include "store/store.h"

namespace korvane::hall {

namespace {

// The hall's database opened for a command, or nothing (why said).
std::unique_ptr<Store> OpenStore(const HallOptions& options) {
    std::string why;
    const std::string password = ReadPasswordFile(options.passwordFile, why);
    auto store = std::make_unique<Store>(options.database, password);
    if (!why.empty() || !store->Open(why)) {
        std::fprintf(stderr, "korvane-hall: %s: %s\n", MaskedDatabase(options.database).c_str(),
                     why.c_str());
        return nullptr;
    }
    return store;
}

}  // namespace

int ReleaseName(const HallOptions& options) {
    std::string name;
    if (CheckName(options.playerName, name)) {
        std::fprintf(stderr, "korvane-hall: no player can have the name '%s'\n",
                     options.playerName.c_str());
        return 1;
    }
    const std::unique_ptr<Store> store = OpenStore(options);
    if (!store) return 1;
    try {
        if (!ReleasePlayer(*store, names::PlayerKey(name))) {
            std::fprintf(stderr, "korvane-hall: nobody holds the name %s\n", name.c_str());
            return 1;
        }
    } catch (const StoreError& e) {
        std::fprintf(stderr, "korvane-hall: %s\n", e.what());
        return 1;
    }
    std::printf("the name %s is free: the next score sent under it claims it\n", name.c_str());
    return 0;
}

int HideScore(const HallOptions& options, bool hidden) {
    const std::unique_ptr<Store> store = OpenStore(options);
    if (!store) return 1;
    try {
        if (!store->SetHidden(options.scoreId, hidden, hidden ? options.reason : "")) {
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
