#pragma once
// korvane-bench --battery: the game against its floors, desktop and browser, printed side
// by side.

namespace korvane::bench {

// webDir: the browser build to measure too, or nullptr. Returns the program's exit code.
int ReportBattery(const char* webDir);

}  // namespace korvane::bench
