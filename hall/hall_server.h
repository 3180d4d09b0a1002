#pragma once
// The hall's HTTP API and pages on cpp-httplib: tickets, submissions replayed in this
// process, the table of scores, the recordings, the browser build.

#include "hall_options.h"
#include "store.h"

namespace korvane::hall {

// Serves until SIGTERM or SIGINT, then finishes the requests in flight; the exit code.
int Serve(const HallOptions& options, Store& store);

}  // namespace korvane::hall
