// Value formats of the PC table, the mode rates and the total.
#include "fields.h"

#include "utf8.h"

namespace results {

namespace {

enum class Kind { Name, Integer, Pair, Mipmap, Levels, Sound };

struct Field {
    const char *key;
    Kind kind;
    long long low, high; // integers and both halves of a pair
    size_t entries;      // level lists
};

// One line per key of the viewer's PC table (pc_keys(); a test holds the two in step): names,
// decimals, "W-H" pairs and level lists as the viewer writes them.
const Field kFields[] = {
    {"a", Kind::Name, 0, 0, 0},
    {"n", Kind::Name, 0, 0, 0},
    {"o", Kind::Name, 0, 0, 0},
    {"b", Kind::Name, 0, 0, 0},
    {"c", Kind::Integer, 0, kClockLimitMHz, 0},
    {"d", Kind::Integer, 0, kMemoryLimitMB, 0},
    {"e", Kind::Name, 0, 0, 0},
    {"f", Kind::Integer, 0, kVideoMemoryLimitMB, 0},
    {"g", Kind::Integer, 0, kTextureStageLimit, 0},
    {"l", Kind::Pair, 0, kPixelLimit, 0},
    {"p", Kind::Integer, -1, kLightLimit, 0},
    {"k", Kind::Mipmap, 0, 0, 0},
    {"i", Kind::Pair, 0, kBitLimit, 0},
    {"h", Kind::Levels, 1, kLevelLimit, kAntialiasEntries},
    {"j", Kind::Levels, 1, kLevelLimit, kAnisotropyEntries},
    {"s", Kind::Sound, 0, 0, 0},
    {"q", Kind::Pair, 0, kPixelLimit, 0},
};

const Field *field(const std::string &key) {
    for (const Field &f : kFields)
        if (key == f.key)
            return &f;
    return nullptr;
}

bool is_control(char32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

std::optional<std::string> name_error(const std::string &value) {
    size_t units = 0;
    char32_t code;
    for (size_t i = 0; i < value.size();) {
        if (!next_code_point(value, i, code))
            return "is not valid text";
        if (is_control(code))
            return "holds a control character";
        units += code >= 0x10000 ? 2 : 1;
    }
    if (units > kNameLimit)
        return "is longer than " + std::to_string(kNameLimit) + " characters";
    return std::nullopt;
}

bool parse_pair(const std::string &text, long long high) {
    size_t dash = text.find('-');
    long long a, b;
    return dash != std::string::npos && parse_decimal(text.substr(0, dash), 0, high, a) &&
           parse_decimal(text.substr(dash + 1), 0, high, b);
}

} // namespace

bool parse_decimal(const std::string &text, long long low, long long high, long long &value) {
    size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    size_t digits = text.size() - start;
    // Eleven digits pass any int range the benchmark writes without overflowing a long long.
    if (digits == 0 || digits > 11 || (digits > 1 && text[start] == '0') || (start && text == "-0"))
        return false;
    long long magnitude = 0;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
    }
    value = start ? -magnitude : magnitude;
    return value >= low && value <= high;
}

bool parse_levels(const std::string &text, size_t maxEntries, std::vector<int> &levels) {
    levels.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != ' ')
            return false;
        size_t end = text.find(' ', i + 1);
        if (end == std::string::npos)
            end = text.size();
        long long level;
        if (!parse_decimal(text.substr(i + 1, end - i - 1), 1, kLevelLimit, level) || levels.size() == maxEntries)
            return false;
        levels.push_back(static_cast<int>(level));
        i = end;
    }
    return true;
}

bool is_pc_key(const std::string &key) { return field(key) != nullptr; }

std::optional<std::string> pc_value_error(const std::string &key, const std::string &value) {
    const Field *f = field(key);
    if (!f)
        return "unknown PC key";
    long long number;
    std::vector<int> levels;
    switch (f->kind) {
    case Kind::Name:
        return name_error(value);
    case Kind::Integer:
        if (!parse_decimal(value, f->low, f->high, number))
            return "is not a whole number from " + std::to_string(f->low) + " to " + std::to_string(f->high);
        return std::nullopt;
    case Kind::Pair:
        if (!parse_pair(value, f->high))
            return "is not two whole numbers from 0 to " + std::to_string(f->high) + " as \"A-B\"";
        return std::nullopt;
    case Kind::Mipmap:
        if (value != "OK" && value != "0")
            return "is neither \"OK\" nor \"0\"";
        return std::nullopt;
    case Kind::Levels:
        if (!parse_levels(value, f->entries, levels))
            return "is not a list of at most " + std::to_string(f->entries) + " levels (1 to " +
                   std::to_string(kLevelLimit) + "), each after a space";
        return std::nullopt;
    case Kind::Sound:
        if (value != "Hardware" && value != "Software")
            return "is neither \"Hardware\" nor \"Software\"";
        return std::nullopt;
    }
    return "unknown PC key";
}

std::optional<std::string> parse_mode_rates(const std::string &text, ModeRates &rates) {
    size_t start = 0;
    for (int k = 0; k < kModeCount; ++k) {
        size_t end = k + 1 < kModeCount ? text.find(' ', start) : text.size();
        long long rate;
        if (end == std::string::npos || !parse_decimal(text.substr(start, end - start), 0, kRateLimitFps, rate))
            return "is not four frame rates (0 to " + std::to_string(kRateLimitFps) + ") separated by spaces";
        rates[k] = static_cast<int>(rate);
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> parse_total(const std::string &text, int &total) {
    long long value;
    if (!parse_decimal(text, 0, kTotalLimit, value))
        return "is not a whole number from 0 to " + std::to_string(kTotalLimit);
    total = static_cast<int>(value);
    return std::nullopt;
}

} // namespace results
