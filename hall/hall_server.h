#pragma once
// The hall serving: the table loaded, the replay pool and the HTTP loops started, until
// SIGTERM or SIGINT.

#include "hall_options.h"
#include "store/store.h"

namespace korvane::hall {

// Serves until SIGTERM or SIGINT, then answers the requests in flight; the exit code.
int Serve(const HallOptions& options, Store& store);

}  // namespace korvane::hall
