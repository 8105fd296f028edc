// Frame-time statistics. A "low" rate is 1000 over the mean time of the slowest frames, so a single
// long stall in a short shot shows in the 0.1 % figure instead of vanishing in the average.
#include "bench_stats.h"

#include <algorithm>
#include <functional>

namespace bench {

static double slowest_share_fps(const std::vector<double> &descendingMs, double share) {
    size_t count = static_cast<size_t>(descendingMs.size() * share);
    count = std::max<size_t>(count, 1);
    double sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += descendingMs[i];
    return sum > 0 ? 1000.0 * count / sum : 0;
}

FrameStats frame_stats(const std::vector<double> &frameMs) {
    FrameStats stats;
    if (frameMs.empty())
        return stats;
    std::vector<double> sorted(frameMs);
    std::sort(sorted.begin(), sorted.end(), std::greater<double>());
    stats.frames = static_cast<int>(sorted.size());
    for (double ms : sorted)
        stats.totalMs += ms;
    stats.averageFps = stats.totalMs > 0 ? 1000.0 * stats.frames / stats.totalMs : 0;
    stats.maxFrameMs = sorted.front();
    stats.minFrameMs = sorted.back();
    stats.low1PercentFps = slowest_share_fps(sorted, 0.01);
    stats.low01PercentFps = slowest_share_fps(sorted, 0.001);
    return stats;
}

} // namespace bench
