// Reading and checking a result file.
#include "json_run.h"

#include "bench_pcinfo.h"
#include "bench_score.h"
#include "fields.h"
#include "run_key.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace results {

namespace {

using nlohmann::json;

constexpr char kProgram[] = "hx21app benchmark";
constexpr size_t kShortTextLimit = 64;   // labels, units, the start time, mode descriptions
constexpr size_t kNoteLimit = 512;
constexpr size_t kAddressLimit = 4096;
constexpr long long kFrameLimit = 100000000;
constexpr double kFigureLimit = 1e7;     // frames per second or milliseconds
constexpr int kScoreLimit = kShotCount * kRateLimitFps;

// Nesting depth of a JSON text, counted before parsing so that no parser recursion meets a hostile
// depth. Brackets inside strings do not count.
int nesting_depth(const std::string &text) {
    int depth = 0, deepest = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// A failed check: the path of the member and what is wrong with it.
struct Refusal {
    std::string reason;
};

const json &member(const json &object, const char *key, const std::string &path) {
    auto it = object.find(key);
    if (it == object.end())
        throw Refusal{path + "." + key + " is missing"};
    return *it;
}

const std::string &text(const json &object, const char *key, const std::string &path, size_t limit) {
    const json &value = member(object, key, path);
    if (!value.is_string())
        throw Refusal{path + "." + key + " is not a string"};
    const std::string &s = value.get_ref<const std::string &>();
    if (s.size() > limit)
        throw Refusal{path + "." + key + " is longer than " + std::to_string(limit) + " bytes"};
    return s;
}

long long integer(const json &object, const char *key, const std::string &path, long long low, long long high) {
    const json &value = member(object, key, path);
    if (!value.is_number_integer())
        throw Refusal{path + "." + key + " is not a whole number"};
    bool tooLarge = value.is_number_unsigned() && value.get<unsigned long long>() > static_cast<unsigned long long>(high);
    long long n = tooLarge ? high : value.get<long long>();
    if (tooLarge || n < low || n > high)
        throw Refusal{path + "." + key + " is not from " + std::to_string(low) + " to " + std::to_string(high)};
    return n;
}

bool boolean(const json &object, const char *key, const std::string &path) {
    const json &value = member(object, key, path);
    if (!value.is_boolean())
        throw Refusal{path + "." + key + " is not true or false"};
    return value.get<bool>();
}

void figure(const json &object, const char *key, const std::string &path) {
    const json &value = member(object, key, path);
    if (!value.is_number() || !std::isfinite(value.get<double>()) || value.get<double>() < 0 ||
        value.get<double>() > kFigureLimit)
        throw Refusal{path + "." + key + " is not a figure from 0 to " + std::to_string(static_cast<long>(kFigureLimit))};
}

void expect_object(const json &value, const std::string &path) {
    if (!value.is_object())
        throw Refusal{path + " is not an object"};
}

void check_display_mode(const json &mode, const std::string &path) {
    expect_object(mode, path);
    integer(mode, "width", path, 0, kPixelLimit);
    integer(mode, "height", path, 0, kPixelLimit);
    boolean(mode, "windowed", path);
    integer(mode, "antialias", path, 0, kLevelLimit);
    integer(mode, "anisotropy", path, 0, kLevelLimit);
    text(mode, "description", path, kShortTextLimit);
}

void check_stats(const json &stats, const std::string &path) {
    expect_object(stats, path);
    integer(stats, "frames", path, 0, kFrameLimit);
    for (const char *key : {"average_fps", "min_frame_ms", "max_frame_ms", "low_1_percent_fps", "low_0_1_percent_fps"})
        figure(stats, key, path);
}

// The score of a mode (0 when not tested), after checking its entry.
int check_mode(const json &entry, int number) {
    std::string path = "result.modes[" + std::to_string(number - 1) + "]";
    expect_object(entry, path);
    if (integer(entry, "mode", path, 1, kModeCount) != number)
        throw Refusal{path + ".mode is not " + std::to_string(number)};
    check_display_mode(member(entry, "requested", path), path + ".requested");
    if (entry.contains("note"))
        text(entry, "note", path, kNoteLimit);
    if (!boolean(entry, "tested", path))
        return 0;
    check_display_mode(member(entry, "ran", path), path + ".ran");
    int score = static_cast<int>(integer(entry, "score", path, 0, kScoreLimit));
    if (integer(entry, "frame_rate", path, 0, kRateLimitFps) != score / kShotCount)
        throw Refusal{path + ".frame_rate is not the score divided by " + std::to_string(kShotCount)};
    check_stats(member(entry, "frames", path), path + ".frames");
    const json &shots = member(entry, "shots", path);
    if (!shots.is_array() || shots.size() != kShotCount)
        throw Refusal{path + ".shots is not a list of " + std::to_string(kShotCount) + " shots"};
    long long sum = 0;
    for (int s = 0; s < kShotCount; ++s) {
        std::string shotPath = path + ".shots[" + std::to_string(s) + "]";
        check_stats(shots[s], shotPath);
        if (integer(shots[s], "shot", shotPath, 1, kShotCount) != s + 1)
            throw Refusal{shotPath + ".shot is not " + std::to_string(s + 1)};
        sum += integer(shots[s], "rate", shotPath, 0, kRateLimitFps);
    }
    if (sum != score)
        throw Refusal{path + ".score is not the sum of its shot rates"};
    return score;
}

std::vector<int> levels_of(const Run &run, const char *key) {
    std::vector<int> levels;
    parse_levels(run.value(key), kAntialiasEntries + kAnisotropyEntries, levels);
    return levels;
}

long long number_of(const Run &run, const char *key) {
    long long value = 0;
    parse_decimal(run.value(key), -1, kTotalLimit, value);
    return value;
}

// The total the benchmark's formula gives for this PC and these mode scores.
int expected_total(const Run &run, const int (&scores)[kModeCount]) {
    bench::PcInfo pc;
    pc.textureStages = static_cast<int>(number_of(run, "g"));
    pc.hardwareLights = static_cast<int>(number_of(run, "p"));
    pc.processorMHz = static_cast<uint32_t>(number_of(run, "c"));
    pc.videoMemoryMB = static_cast<int>(number_of(run, "f"));
    pc.antialiasLevels = levels_of(run, "h");
    pc.anisotropyLevels = levels_of(run, "j");
    return bench::total_score(pc, scores);
}

void read_run(const json &root, Run &run) {
    expect_object(root, "the result");
    if (text(root, "program", "result", kShortTextLimit) != kProgram)
        throw Refusal{std::string("result.program is not \"") + kProgram + "\""};
    text(root, "started", "result", kShortTextLimit);
    text(root, "result_address", "result", kAddressLimit);
    const json &pc = member(root, "pc", "result");
    if (pc.is_null())
        throw Refusal{std::string(".pc is null: the engine never started, so the run holds nothing to rank")};
    expect_object(pc, "result.pc");
    for (const char *key : pc_keys()) {
        std::string path = std::string("result.pc.") + key;
        const json &row = member(pc, key, "result.pc");
        expect_object(row, path);
        text(row, "label", path, kShortTextLimit);
        text(row, "unit", path, kShortTextLimit);
        const std::string &value = text(row, "value", path, 4 * kNameLimit);
        if (auto error = pc_value_error(key, value))
            throw Refusal{path + ".value " + *error};
        run.pc[key] = value;
    }
    if (pc.size() != pc_keys().size())
        throw Refusal{std::string("result.pc holds keys the PC table does not have")};
    const json &modes = member(root, "modes", "result");
    if (!modes.is_array() || modes.size() != kModeCount)
        throw Refusal{"result.modes is not a list of " + std::to_string(kModeCount) + " modes"};
    int scores[kModeCount];
    ModeRates rates;
    for (int k = 0; k < kModeCount; ++k) {
        scores[k] = check_mode(modes[k], k + 1);
        rates[k] = scores[k] / kShotCount;
    }
    run.modes = rates;
    run.total = static_cast<int>(integer(root, "total_score", "result", 0, kTotalLimit));
    int expected = expected_total(run, scores);
    if (run.total != expected)
        throw Refusal{"result.total_score is " + std::to_string(run.total) + ", but the PC table and the mode scores give " +
                      std::to_string(expected)};
}

} // namespace

std::optional<std::string> run_from_result_json(const std::string &body, Run &run) {
    run = Run{};
    if (body.size() > kResultFileLimit)
        return "the result file is larger than " + std::to_string(kResultFileLimit / 1024) + " KiB";
    if (nesting_depth(body) > kResultNestingLimit)
        return "the result file nests deeper than its format (" + std::to_string(kResultNestingLimit) + " levels)";
    json root = json::parse(body, nullptr, false);
    if (root.is_discarded())
        return std::string("the body is not JSON (or not UTF-8)");
    try {
        read_run(root, run);
    } catch (const Refusal &refusal) {
        run = Run{};
        return refusal.reason;
    }
    run.details = root.dump();
    run.detailsKey = sha256_hex(run.details);
    run.addressKey = address_key(run);
    return std::nullopt;
}

} // namespace results
