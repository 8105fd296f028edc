// The benchmark's result files.
#include "bench_result.h"

#include "bench_text.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace bench {

namespace {

// Figures to a tenth: more digits than the counter gives would only suggest precision.
double tenth(double value) { return std::round(value * 10) / 10; }

nlohmann::json stats_json(const FrameStats &stats) {
    return {{"frames", stats.frames},
            {"average_fps", tenth(stats.averageFps)},
            {"min_frame_ms", tenth(stats.minFrameMs)},
            {"max_frame_ms", tenth(stats.maxFrameMs)},
            {"low_1_percent_fps", tenth(stats.low1PercentFps)},
            {"low_0_1_percent_fps", tenth(stats.low01PercentFps)}};
}

nlohmann::json mode_json(const DisplayMode &mode) {
    return {{"width", mode.width}, {"height", mode.height}, {"windowed", mode.windowed},
            {"antialias", mode.antialias}, {"anisotropy", mode.anisotropy},
            {"description", mode_description(mode)}};
}

} // namespace

FrameStats mode_stats(const ModeRecord &mode) {
    std::vector<double> all;
    for (const ShotRecord &shot : mode.shots)
        all.insert(all.end(), shot.frameMs.begin(), shot.frameMs.end());
    return frame_stats(all);
}

std::string result_json(const BenchResult &result) {
    nlohmann::json pc = nullptr;
    if (result.pcKnown) {
        pc = nlohmann::json::object();
        for (const InfoRow &row : pc_info_rows(result.pc))
            pc[row.key] = {{"label", utf8(row.label)}, {"value", utf8(row.value)}, {"unit", utf8(row.unit)}};
    }
    nlohmann::json modes = nlohmann::json::array();
    for (int m = 0; m < kModeCount; ++m) {
        const ModeRecord &mode = result.modes[m];
        nlohmann::json entry = {{"mode", m + 1}, {"tested", mode.tested}, {"requested", mode_json(mode.requested)}};
        if (!mode.note.empty())
            entry["note"] = mode.note;
        if (mode.tested) {
            entry["ran"] = mode_json(mode.ran);
            entry["score"] = mode.score;
            entry["frame_rate"] = mode.score / kShotCount;
            entry["frames"] = stats_json(mode_stats(mode));
            nlohmann::json shots = nlohmann::json::array();
            for (int s = 0; s < kShotCount; ++s) {
                nlohmann::json shot = stats_json(frame_stats(mode.shots[s].frameMs));
                shot["shot"] = s + 1;
                shot["rate"] = mode.shots[s].rate;
                shots.push_back(shot);
            }
            entry["shots"] = shots;
        }
        modes.push_back(entry);
    }
    nlohmann::json out = {{"program", "hx21app benchmark"}, {"started", result.started}, {"pc", pc},
                          {"modes", modes}, {"total_score", result.total},
                          {"result_address", utf8(result.address)}};
    return out.dump(2) + "\n";
}

std::string frame_times_csv(const BenchResult &result) {
    std::string csv = "mode,shot,frame,ms\n";
    char line[64];
    for (int m = 0; m < kModeCount; ++m) {
        for (int s = 0; s < kShotCount; ++s) {
            const std::vector<double> &frames = result.modes[m].shots[s].frameMs;
            for (size_t f = 0; f < frames.size(); ++f) {
                std::snprintf(line, sizeof line, "%d,%d,%u,%.3f\n", m + 1, s + 1,
                              static_cast<unsigned>(f + 1), frames[f]);
                csv += line;
            }
        }
    }
    return csv;
}

std::u16string csv_name_for(const std::u16string &resultFile) {
    size_t dot = resultFile.find_last_of(u'.');
    size_t slash = resultFile.find_last_of(u"\\/");
    bool hasExtension = dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash);
    return (hasExtension ? resultFile.substr(0, dot) : resultFile) + u".csv";
}

} // namespace bench
