#include "client_limits.h"

#include <algorithm>
#include <cmath>

namespace korvane::hall {

int64_t RateLimit::Take(const std::string& address, double now) {
    if (perMinute_ <= 0) return 0;
    const double perSecond = perMinute_ / period_;
    const std::lock_guard<std::mutex> hold(lock_);
    // A bucket refilled for a period is as good as none: forget it, so the map holds only
    // the addresses of the last period.
    if (now - lastSweep_ > period_) {
        std::erase_if(buckets_,
                      [now, this](const auto& b) { return now - b.second.last > period_; });
        lastSweep_ = now;
    }
    auto [it, fresh] = buckets_.try_emplace(address, Bucket{double(perMinute_), now});
    Bucket& b = it->second;
    b.tokens = std::min<double>(perMinute_, b.tokens + (now - b.last) * perSecond);
    b.last = now;
    if (b.tokens >= 1) {
        b.tokens -= 1;
        return 0;
    }
    return std::max<int64_t>(1, static_cast<int64_t>(std::ceil((1 - b.tokens) / perSecond)));
}

}  // namespace korvane::hall
