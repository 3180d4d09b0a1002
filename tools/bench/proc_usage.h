#pragma once
// What a running program costs the machine, read from /proc: CPU time and wake-ups
// (context switches, voluntary and not) of all its threads.

#include <sys/types.h>

#include <map>

namespace korvane::bench {

// The counters of every thread of one process at one moment, by thread id.
struct ThreadCounters {
    double cpuSeconds = 0;
    long long switches = 0;
};
using ProcessSnapshot = std::map<pid_t, ThreadCounters>;

ProcessSnapshot Snapshot(pid_t pid);

struct Usage {
    double cpuSeconds = 0;
    long long switches = 0;
};

// What the threads used between two snapshots; a thread born in between counts from its start.
Usage Between(const ProcessSnapshot& before, const ProcessSnapshot& after);

// The process's resident memory now, in bytes (0 when it cannot be read).
long long ResidentBytes(pid_t pid);
// The threads the process runs now.
int Threads(pid_t pid);

}  // namespace korvane::bench
