// Timed requests from several threads.
#include "load.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace results_bench {

std::vector<Answer> run_load(const std::string &host, int port, const std::vector<Request> &requests, int clients,
                             double &seconds) {
    std::vector<Answer> answers(requests.size());
    std::atomic<size_t> next{0};
    auto worker = [&] {
        httplib::Client client(host, port);
        client.set_keep_alive(true);
        client.set_tcp_nodelay(true); // else a body sent after its headers waits for a delayed ACK
        client.set_read_timeout(30, 0);
        for (size_t i; (i = next++) < requests.size();) {
            const Request &request = requests[i];
            auto start = std::chrono::steady_clock::now();
            httplib::Result res = request.post ? client.Post(request.path.c_str(), request.body, "application/json")
                                               : client.Get(request.path.c_str());
            answers[i].ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (res) {
                answers[i].status = res->status;
                answers[i].location = res->get_header_value("Location");
            }
        }
    };
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back(worker);
    for (std::thread &t : threads)
        t.join();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return answers;
}

Latency latency_of(std::vector<double> ms) {
    Latency l;
    if (ms.empty())
        return l;
    std::sort(ms.begin(), ms.end());
    l.p50 = ms[ms.size() / 2];
    l.p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    l.max = ms.back();
    return l;
}

} // namespace results_bench
