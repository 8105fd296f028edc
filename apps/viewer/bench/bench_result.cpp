// The benchmark's result files.
#include "bench_result.h"

#include "bench_score.h"
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
            {"total_ms", tenth(stats.totalMs)},
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

int shot_rate(const ShotRecord &shot) {
    double totalMs = 0;
    for (double ms : shot.frameMs)
        totalMs += ms;
    return totalMs > 0 ? static_cast<int>(1000.0 * shot.frameMs.size() / totalMs) : 0;
}

int mode_frame_rate(const ModeRecord &mode) { return mode.score / kShotCount; }

int frames_not_shown(const ModeRecord &mode) {
    int unshown = 0;
    for (const ShotRecord &shot : mode.shots)
        unshown += shot.unshown;
    return unshown;
}

void finish_result(BenchResult &result, const std::u16string &host, const EucJpEncoder &encoder) {
    for (ModeRecord &mode : result.modes) {
        int unshown = frames_not_shown(mode);
        if (mode.tested && unshown) {
            std::string lost = std::to_string(unshown) + " frames not shown (display lost) left out";
            mode.note = mode.note.empty() ? lost : mode.note + "; " + lost;
        }
    }
    int scores[kModeCount];
    for (int k = 0; k < kModeCount; ++k)
        scores[k] = result.modes[k].score;
    result.total = total_score(result.pc, scores);

    std::u16string m, r = decimal(result.total);
    for (int k = 0; k < kModeCount; ++k)
        m += (k ? u" " : u"") + decimal(mode_frame_rate(result.modes[k]));
    // The scores go last but always go in: long PC names give way to them.
    size_t scoresRoom = ResultAddress::parameter_length("m", m) + ResultAddress::parameter_length("r", r);
    ResultAddress address(host);
    for (const InfoRow &row : pc_info_rows(result.pc))
        address.add(row.key, row.value, encoder, scoresRoom);
    address.add_escaped("m", m);
    address.add_escaped("r", r);
    result.address = address.text();
}

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
            entry["frame_rate"] = mode_frame_rate(mode);
            if (int unshown = frames_not_shown(mode))
                entry["frames_not_shown"] = unshown;
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
                          {"modes", modes}, {"stopped", result.stopped}, {"total_score", result.total},
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
    std::u16string csv = (hasExtension ? resultFile.substr(0, dot) : resultFile) + u".csv";
    bool same = csv.size() == resultFile.size();
    for (size_t i = 0; same && i < csv.size(); ++i)
        same = (csv[i] | 0x20) == (resultFile[i] | 0x20);
    return same ? resultFile + u".csv" : csv;
}

std::u16string result_file_path(const std::u16string &asked, const std::u16string &programFolder,
                                const std::u16string &defaultFolder, const std::u16string &stamp) {
    if (!asked.empty()) {
        bool absolute = asked.size() > 1 && (asked[1] == u':' || asked[0] == u'\\' || asked[0] == u'/');
        return absolute ? asked : programFolder + asked;
    }
    return defaultFolder.empty() ? std::u16string() : defaultFolder + stamp + u".json";
}

} // namespace bench
