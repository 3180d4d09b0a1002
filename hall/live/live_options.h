#pragma once
// What live play reads of korvane-hall's command line (the rest of which is HallOptions').

#include <cstdint>
#include <string>

namespace korvane::hall {

struct LiveOptions {
    // The name this hall is reached by, which another hall's 421 answer gives for a live
    // game this one plays (default: the machine's name and the port).
    std::string name;
    int64_t maxFrames = 2'000'000;  // the replay's frame limit, a whole recording's too
    int liveGames = 2000;           // in progress at once, on this hall
    int liveGamesPerAddress = 2;    // from one address at once
    int liveStartsPerHour = 20;     // live games one address may open an hour
    int watchersPerGame = 2000;
    int liveStall = 10;       // seconds without a batch outside a dialog
    int liveDialog = 600;     // seconds an outcome dialog may hold the game without a batch
    int liveStart = 60;       // seconds from the opening to the first frame
    int livePauses = 3;       // dialogs the player may open during the game
    int livePauseTime = 60;   // seconds they may hold it, all together
    int livePaceWindow = 10;  // seconds over which the frames' pace is measured
    int liveLateMs = 2000;    // how late a batch may arrive
};

}  // namespace korvane::hall
