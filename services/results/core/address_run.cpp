// Reading the result page address.
#include "address_run.h"

#include "eucjp.h"
#include "fields.h"
#include "query.h"
#include "run_key.h"

#include <set>

namespace results {

std::optional<std::string> run_from_address(const std::string &query, Run &run) {
    run = Run{};
    if (query.size() > kAddressQueryLimit)
        return "the address is longer than the benchmark writes (" + std::to_string(kAddressQueryLimit) +
               " characters after '?')";
    QueryPairs pairs;
    if (auto error = split_query(query, pairs))
        return error;
    std::set<std::string> seen;
    bool haveTotal = false;
    for (const auto &[key, raw] : pairs) {
        if (!is_pc_key(key) && key != kModesKey && key != kTotalKey)
            return "unknown parameter \"" + key.substr(0, 20) + "\"";
        if (!seen.insert(key).second)
            return "parameter " + key + " is given twice";
        std::string bytes, text;
        if (auto error = percent_decode(raw, bytes))
            return "parameter " + key + ": " + *error;
        if (auto error = decode_address_bytes(bytes, text))
            return "parameter " + key + ": " + *error;
        if (key == kModesKey) {
            ModeRates rates;
            if (auto error = parse_mode_rates(text, rates))
                return "parameter m " + *error;
            run.modes = rates;
        } else if (key == kTotalKey) {
            if (auto error = parse_total(text, run.total))
                return "parameter r " + *error;
            haveTotal = true;
        } else {
            if (auto error = pc_value_error(key, text))
                return "parameter " + key + " " + *error;
            run.pc[key] = text;
        }
    }
    if (!haveTotal)
        return std::string("the total score (parameter r) is missing; a result address cut at its length limit "
                           "loses it: send the result file to /api/runs instead");
    run.addressKey = address_key(run);
    return std::nullopt;
}

} // namespace results
