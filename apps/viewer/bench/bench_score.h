// The benchmark's point score: the PC's graphics properties plus three times the mean mode score.
#pragma once

#include "bench_modes.h"
#include "bench_pcinfo.h"

namespace bench {

// Total points for the four mode scores (each the sum of six shot rates, 0 or less = not tested).
int total_score(const PcInfo &pc, const int (&modeScores)[kModeCount]);

} // namespace bench
