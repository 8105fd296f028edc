// Token buckets per address.
#include "rate_limit.h"

#include <algorithm>
#include <cmath>

namespace results {

constexpr double kSecondsPerHour = 3600;

RateLimiter::RateLimiter(int perHour, size_t maxAddresses)
    : capacity_(perHour), perSecond_(perHour / kSecondsPerHour), maxAddresses_(maxAddresses) {}

int RateLimiter::admit(const std::string &address, double now) {
    if (capacity_ <= 0)
        return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = buckets_.find(address);
    if (it == buckets_.end()) {
        if (buckets_.size() >= maxAddresses_)
            forget_full(now);
        it = buckets_.emplace(address, Bucket{capacity_, now}).first;
    }
    Bucket &bucket = it->second;
    bucket.tokens = std::min(capacity_, bucket.tokens + (now - bucket.updated) * perSecond_);
    bucket.updated = now;
    if (bucket.tokens >= 1) {
        bucket.tokens -= 1;
        return 0;
    }
    return std::max(1, static_cast<int>(std::ceil((1 - bucket.tokens) / perSecond_)));
}

void RateLimiter::forget_full(double now) {
    for (auto it = buckets_.begin(); it != buckets_.end();) {
        if (it->second.tokens + (now - it->second.updated) * perSecond_ >= capacity_)
            it = buckets_.erase(it);
        else
            ++it;
    }
    // A flood from more addresses than the table holds: start counting afresh rather than grow.
    if (buckets_.size() >= maxAddresses_)
        buckets_.clear();
}

} // namespace results
