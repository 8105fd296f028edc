// Submissions per client address: a bucket of tokens per address that refills at a steady rate,
// so a person can send a few runs at once but nobody can flood the leaderboard. The only state the
// service keeps besides the database; each copy behind a load balancer counts on its own.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

namespace results {

class RateLimiter {
public:
    // perHour submissions an hour per address, all of them at once at most; 0 lets everything through.
    // Past maxAddresses tracked addresses, the ones whose buckets are full again are forgotten.
    explicit RateLimiter(int perHour, size_t maxAddresses = 100000);

    // 0 when a submission from the address at this time (seconds on a steady clock) may go ahead
    // (it takes a token), else the whole seconds until it may.
    int admit(const std::string &address, double now);

private:
    struct Bucket {
        double tokens;
        double updated; // seconds
    };
    void forget_full(double now);

    double capacity_, perSecond_;
    size_t maxAddresses_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

} // namespace results
