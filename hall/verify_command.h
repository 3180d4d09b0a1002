#pragma once
// korvane-hall verify FILE: a recording replayed here, each game printed with its verified
// score, for players and moderators.

#include <string>

namespace korvane::hall {

// The exit code: 0 every game replays as recorded, 3 at the first difference or a check
// never reached, 2 a file that cannot be read or is not a recording.
int VerifyFile(const std::string& path);

}  // namespace korvane::hall
