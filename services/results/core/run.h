// One benchmark run as the service keeps it: the PC table by address key, the four mode rates and
// the total, with the full result file when the benchmark posted one. Both ways in (the result page
// address and the result JSON) produce this record.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace results {

constexpr int kModeCount = 4;
constexpr int kShotCount = 6;

// Keys of the PC table in the order the result screen lists them (the viewer's table is the source).
const std::array<const char *, 17> &pc_keys();
// The keys whose values are the filters of the leaderboard.
constexpr char kOsKey[] = "a";
constexpr char kProcessorKey[] = "b";
constexpr char kChipKey[] = "e";
constexpr char kModesKey[] = "m";
constexpr char kTotalKey[] = "r";

using ModeRates = std::array<int, kModeCount>; // frames per second (score / 6); 0 = not tested

struct Run {
    std::map<std::string, std::string> pc; // UTF-8 values as sent; a key left out of a cut address is absent
    std::optional<ModeRates> modes;        // absent when the address was cut before "m"
    int total = 0;                         // the benchmark's point score
    std::string details;                   // the result JSON as validated; empty for a run sent as an address
    std::string addressKey;                // hex SHA-256 of the values the address carries (see run_key.h)
    std::string detailsKey;                // hex SHA-256 of the result JSON; empty without details

    // The value of a PC key, or "" when it was left out.
    const std::string &value(const std::string &key) const;
};

} // namespace results
