// Everything a benchmark run measured, the figures computed from it once, before anything shows
// them, and the two files written from it: a JSON summary people and scripts can read, and a CSV of
// every frame time for their own plots.
#pragma once

#include "bench_address.h"
#include "bench_modes.h"
#include "bench_pcinfo.h"
#include "bench_stats.h"

#include <string>
#include <vector>

namespace bench {

constexpr int kShotCount = 6;

struct ShotRecord {
    int rate = 0;                // frames per second: frames over the shot's measured time (the score's unit)
    std::vector<double> frameMs; // every frame of the shot that was shown, as measured around it
    int unshown = 0;             // frames that could not be shown (a lost full-screen display): left out
};

struct ModeRecord {
    DisplayMode requested;
    DisplayMode ran;        // what the display gave; differs when a full-screen size was not available
    bool tested = false;    // false: skipped, not selected, or broken off
    std::string note;       // why it was skipped, or how the run differed from the request
    int score = 0;          // sum of the six shot rates
    ShotRecord shots[kShotCount];
};

struct BenchResult {
    std::string started;    // local time "2026-12-08T21:53:37"
    bool pcKnown = false;   // false: the engine never started, the PC table is empty
    PcInfo pc;
    ModeRecord modes[kModeCount];
    bool stopped = false;   // the user ended the benchmark before its result screen
    // Computed by finish_result:
    int total = 0;
    std::u16string address; // the result page address with its query
};

// The shot's rate: its frames over its measured time, in whole frames per second.
int shot_rate(const ShotRecord &shot);
// Statistics of one mode: all frames of its six shots together.
FrameStats mode_stats(const ModeRecord &mode);
// Frames of the mode's shots that a lost display did not show.
int frames_not_shown(const ModeRecord &mode);
// The total score and the result address, from the modes measured and the PC; a mode whose display
// was lost for some frames says in its note that they are left out.
void finish_result(BenchResult &result, const std::u16string &host, const EucJpEncoder &encoder);
// The "m" parameter and the result screen's mode rows: each mode's score over its six shots.
int mode_frame_rate(const ModeRecord &mode);

// The JSON summary (UTF-8).
std::string result_json(const BenchResult &result);
// "mode,shot,frame,ms" and one line per frame (UTF-8).
std::string frame_times_csv(const BenchResult &result);
// The frame-time file beside a result file: "x.json" -> "x.csv", "x" -> "x.csv"; never the result
// file itself.
std::u16string csv_name_for(const std::u16string &resultFile);
// The result file's full name: `asked` (from /result:) as it is when absolute, else in the program's
// folder; without one, <stamp>.json in `defaultFolder` (empty: no folder could be written).
std::u16string result_file_path(const std::u16string &asked, const std::u16string &programFolder,
                                const std::u16string &defaultFolder, const std::u16string &stamp);

} // namespace bench
