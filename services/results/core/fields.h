// The format and range of every value a run carries, shared by the address and the JSON readers:
// a value the benchmark could not have sent is refused with a reason a person can act on.
#pragma once

#include "run.h"

#include <optional>
#include <string>
#include <vector>

namespace results {

constexpr size_t kNameLimit = 80;      // UTF-16 units: the engine's name fields hold no more
constexpr int kClockLimitMHz = 100000;
constexpr int kMemoryLimitMB = 1 << 24;
constexpr int kVideoMemoryLimitMB = 1 << 20;
constexpr int kTextureStageLimit = 64;
constexpr int kLightLimit = 65535;     // and -1, the driver's "no limit"
constexpr int kPixelLimit = 65536;
constexpr int kBitLimit = 64;
constexpr int kLevelLimit = 64;
constexpr size_t kAntialiasEntries = 15;
constexpr size_t kAnisotropyEntries = 16;
// A graphics driver that draws nothing runs the benchmark at some hundred thousand frames a second;
// a frame rate beyond ten million is no measurement.
constexpr int kRateLimitFps = 10000000;
constexpr int kTotalLimit = 200000000;  // three times six such rates, and the PC's points

// Why a PC value is refused, or nothing when it is valid. The value is UTF-8.
std::optional<std::string> pc_value_error(const std::string &key, const std::string &value);
// Whether the key is one of the PC table's.
bool is_pc_key(const std::string &key);

// "60 0 33 0": four rates, or the reason they are refused.
std::optional<std::string> parse_mode_rates(const std::string &text, ModeRates &rates);
// The total score, or the reason it is refused.
std::optional<std::string> parse_total(const std::string &text, int &total);

// A decimal integer as the benchmark writes it (no sign but a leading '-', no leading zeros),
// within [low, high].
bool parse_decimal(const std::string &text, long long low, long long high, long long &value);
// " 2 4 8": the levels of an antialias or anisotropy list.
bool parse_levels(const std::string &text, size_t maxEntries, std::vector<int> &levels);

} // namespace results
