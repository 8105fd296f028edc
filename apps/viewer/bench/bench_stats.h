// Frame-time statistics of a benchmark shot or a whole mode: what the average frame rate hides.
#pragma once

#include <vector>

namespace bench {

struct FrameStats {
    int frames = 0;
    double totalMs = 0;
    double averageFps = 0;   // frames per second over the whole time
    double minFrameMs = 0;
    double maxFrameMs = 0;
    double low1PercentFps = 0;   // frame rate of the slowest 1 % of the frames (at least one frame)
    double low01PercentFps = 0;  // the same for the slowest 0.1 %
};

// Statistics of a list of frame times in milliseconds; all zero for an empty list.
FrameStats frame_stats(const std::vector<double> &frameMs);

} // namespace bench
