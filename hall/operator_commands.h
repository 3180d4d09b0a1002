#pragma once
// The operator's commands on a hall's database: hiding an entry and putting it back. The
// halls serving that database learn of it within a second.

#include "hall_options.h"

namespace korvane::hall {

// The exit code: 0 done, 1 no such score or no database.
int HideScore(const HallOptions& options, bool hidden);

}  // namespace korvane::hall
