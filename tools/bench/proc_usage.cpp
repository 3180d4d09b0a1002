#include "proc_usage.h"

#include <dirent.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace korvane::bench {

namespace {

// Time on a CPU, from the scheduler's own account in nanoseconds: finer than the clock
// ticks of /proc/PID/stat.
double CpuSecondsOf(const std::string& task) {
    std::ifstream in(task + "/schedstat");
    double nanoseconds = 0;
    in >> nanoseconds;
    return nanoseconds / 1e9;
}

long long SwitchesOf(const std::string& task) {
    std::ifstream in(task + "/status");
    long long total = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
            line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
            total += std::atoll(line.substr(line.find(':') + 1).c_str());
        }
    }
    return total;
}

}  // namespace

ProcessSnapshot Snapshot(pid_t pid) {
    ProcessSnapshot snapshot;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) return snapshot;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const std::string task = tasks + "/" + entry->d_name;
        snapshot[static_cast<pid_t>(std::atoi(entry->d_name))] = {CpuSecondsOf(task),
                                                                  SwitchesOf(task)};
    }
    closedir(dir);
    return snapshot;
}

Usage Between(const ProcessSnapshot& before, const ProcessSnapshot& after) {
    Usage usage;
    for (const auto& [tid, now] : after) {
        ThreadCounters then;
        if (const auto it = before.find(tid); it != before.end()) then = it->second;
        usage.cpuSeconds += now.cpuSeconds - then.cpuSeconds;
        usage.switches += now.switches - then.switches;
    }
    return usage;
}

int Threads(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
    }
    return 0;
}

long long ResidentBytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    }
    return 0;
}

}  // namespace korvane::bench
