// Load on a running results-server: client threads on keep-alive connections, each request timed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace results_bench {

struct Request {
    bool post = false;
    std::string path, body;
};

struct Answer {
    int status = 0;   // 0: no answer (connection failed)
    std::string location;
    double ms = 0;    // from sending to the whole answer
};

// Sends every request once, spread over `clients` threads; the answers in the same order, and the
// wall time of the whole in seconds.
std::vector<Answer> run_load(const std::string &host, int port, const std::vector<Request> &requests, int clients,
                             double &seconds);

struct Latency {
    double p50 = 0, p99 = 0, max = 0; // ms
};
Latency latency_of(std::vector<double> ms);

} // namespace results_bench
