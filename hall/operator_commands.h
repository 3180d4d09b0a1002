#pragma once
// The operator's commands on a hall's database: hiding an entry and putting it back (the
// halls serving that database learn of it within a second); freeing a player's name.

#include "hall_options.h"

namespace korvane::hall {

// The exit code: 0 done, 1 no such score or no database.
int HideScore(const HallOptions& options, bool hidden);
// The exit code: 0 freed, 1 nobody held the name or no database.
int ReleaseName(const HallOptions& options);

}  // namespace korvane::hall
