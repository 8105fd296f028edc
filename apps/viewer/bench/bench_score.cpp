// The benchmark's total score formula, all in integer arithmetic.
#include "bench_score.h"

namespace bench {

int total_score(const PcInfo &pc, const int (&modeScores)[kModeCount]) {
    long long sum = 0;
    int tested = 0;
    for (int score : modeScores) {
        if (score > 0) {
            sum += score;
            ++tested;
        }
    }
    if (tested == 0)
        return 0;
    long long total = 5LL * pc.textureStages + 5LL * pc.hardwareLights + 20LL * pc.processorMHz / 1600 +
                      10LL * pc.videoMemoryMB / 128 + 3 * (sum / tested);
    if (!pc.antialiasLevels.empty() && pc.antialiasLevels.back() > 1)
        total += 5LL * pc.antialiasLevels.back();
    if (!pc.anisotropyLevels.empty() && pc.anisotropyLevels.back() > 1)
        total += 5LL * pc.anisotropyLevels.back();
    return static_cast<int>(total);
}

} // namespace bench
