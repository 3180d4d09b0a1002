#include "verify_command.h"

#include <cstdio>

#include "script.h"
#include "gate/submission.h"

namespace korvane::hall {

int VerifyFile(const std::string& path, std::optional<uint64_t> ticketSeed) {
    std::string text;
    std::string why;
    if (!script::ReadScriptFile(path, text, why)) {
        std::fprintf(stderr, "korvane-hall: cannot read %s: %s\n", script::Quoted(path).c_str(),
                     why.c_str());
        return 2;
    }
    const Verified v = VerifyHallGame(text, ticketSeed);
    if (!v.game) {
        std::fprintf(stderr, "korvane-hall: %s: refused (%s): %s\n", script::Quoted(path).c_str(),
                     v.refusal.code.c_str(), v.refusal.message.c_str());
        return 3;
    }
    const script::GameResult& g = *v.game;
    std::printf("game 1: score %d, win score %d, stars %d, frames %lld, seed %llu\n", g.score,
                g.winscore, g.stars, static_cast<long long>(g.frames),
                static_cast<unsigned long long>(v.seed));
    std::puts("verified: the hall would take this game");
    return 0;
}

}  // namespace korvane::hall
