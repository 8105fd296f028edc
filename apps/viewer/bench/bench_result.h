// Everything a benchmark run measured, and the two files written from it: a JSON summary people and
// scripts can read, and a CSV of every frame time for their own plots.
#pragma once

#include "bench_modes.h"
#include "bench_pcinfo.h"
#include "bench_stats.h"

#include <string>
#include <vector>

namespace bench {

constexpr int kShotCount = 6;

struct ShotRecord {
    int rate = 0;                // frames per second from the engine's running average (the score's unit)
    std::vector<double> frameMs; // every frame of the shot, as measured around it
};

struct ModeRecord {
    DisplayMode requested;
    DisplayMode ran;        // what the display gave; differs when a full-screen size was not available
    bool tested = false;    // false: skipped or not selected
    std::string note;       // why it was skipped, or how the run differed from the request
    int score = 0;          // sum of the six shot rates
    ShotRecord shots[kShotCount];
};

struct BenchResult {
    std::string started;    // local time "2026-12-08T21:53:37"
    bool pcKnown = false;   // false: the engine never started, the PC table is empty
    PcInfo pc;
    ModeRecord modes[kModeCount];
    int total = 0;
    std::u16string address; // the result page address with its query
};

// Statistics of one mode: all frames of its six shots together.
FrameStats mode_stats(const ModeRecord &mode);

// The JSON summary (UTF-8).
std::string result_json(const BenchResult &result);
// "mode,shot,frame,ms" and one line per frame (UTF-8).
std::string frame_times_csv(const BenchResult &result);
// The frame-time file beside a result file: "x.json" -> "x.csv", "x" -> "x.csv".
std::u16string csv_name_for(const std::u16string &resultFile);

} // namespace bench
