#pragma once
// How often one client address may ask for something: a bucket per address that holds a
// minute's allowance and fills again at that pace, so a client may come in a burst and then
// at the steady rate, and the answer past it says how long to wait.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace korvane::hall {

class RateLimit {
  public:
    explicit RateLimit(int perMinute) : perMinute_(perMinute) {}
    // count in a period of periodSeconds instead of a minute.
    RateLimit(int count, double periodSeconds) : perMinute_(count), period_(periodSeconds) {}

    // 0 when the address may go on (and it is counted), else the seconds until it may.
    int64_t Take(const std::string& address, double nowSeconds);

  private:
    struct Bucket {
        double tokens = 0;
        double last = 0;
    };
    int perMinute_;  // the allowance of one period
    double period_ = 60;
    std::mutex lock_;
    std::map<std::string, Bucket> buckets_;
    double lastSweep_ = 0;
};

}  // namespace korvane::hall
