#pragma once
// korvane-hall verify FILE: a recording checked here by the server's own gate, for players
// and moderators: the same refusals, the same messages, the same budget of CPU time.

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::hall {

// The exit code: 0 the hall would take the game, 3 it would refuse it (the code and message
// are printed), 2 a file that cannot be read. With the ticket's seed, a recording of another
// seed is refused as the hall refuses it; without, the recording's own seed is played.
int VerifyFile(const std::string& path, std::optional<uint64_t> ticketSeed);

}  // namespace korvane::hall
