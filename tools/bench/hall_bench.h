#pragma once
// korvane-bench --hall: a korvane-hall of its own measured over HTTP, with SQLite and then
// with a PostgreSQL of its own (tests/hall/run_postgres.sh).

namespace korvane::bench {

// Prints the figures; the exit status of the run (0, or 1 when a hall cannot be started).
// liveOnly: only live play's figures.
int ReportHall(const char* self, bool liveOnly);

}  // namespace korvane::bench
