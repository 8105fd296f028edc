// Leaderboard query parameters.
#include "list_query.h"

#include "fields.h"
#include "query.h"
#include "run.h"

#include <algorithm>

namespace results {

namespace {

const SortKey kSortKeys[] = {SortKey::Total, SortKey::Mode1, SortKey::Mode2, SortKey::Mode3, SortKey::Mode4};

std::optional<std::string> read_name(const std::string &key, const std::string &bytes, std::string &name) {
    if (auto error = pc_value_error(kChipKey, bytes))
        return "parameter " + key + " " + *error;
    name = bytes;
    return std::nullopt;
}

} // namespace

const char *sort_name(SortKey sort) {
    static const char *const names[] = {"total", "mode1", "mode2", "mode3", "mode4"};
    return names[static_cast<int>(sort)];
}

int sort_mode(SortKey sort) { return static_cast<int>(sort); }

int last_page(long long matching, int limit) {
    long long reachable = std::min<long long>(matching, kDeepestRow);
    return std::max<long long>(1, (reachable + limit - 1) / limit);
}

std::optional<std::string> parse_list_query(const std::string &query, ListQuery &list) {
    list = ListQuery{};
    QueryPairs pairs;
    if (auto error = split_query(query, pairs))
        return error;
    for (const auto &[key, raw] : pairs) {
        std::string bytes;
        if (auto error = percent_decode(raw, bytes))
            return "parameter " + key + ": " + *error;
        long long number;
        if (key == "sort") {
            auto it = std::find_if(std::begin(kSortKeys), std::end(kSortKeys),
                                   [&](SortKey k) { return bytes == sort_name(k); });
            if (it == std::end(kSortKeys))
                return std::string("parameter sort is none of total, mode1, mode2, mode3, mode4");
            list.sort = *it;
        } else if (key == "chip" || key == "cpu" || key == "os") {
            std::string &target = key == "chip" ? list.chip : key == "cpu" ? list.cpu : list.os;
            if (auto error = read_name(key, bytes, target))
                return error;
        } else if (key == "page") {
            if (!parse_decimal(bytes, 1, kDeepestRow, number))
                return "parameter page is not a page number from 1 to " + std::to_string(kDeepestRow);
            list.page = static_cast<int>(number);
        } else if (key == "limit") {
            if (!parse_decimal(bytes, 1, kApiLimitMax, number))
                return "parameter limit is not from 1 to " + std::to_string(kApiLimitMax);
            list.limit = static_cast<int>(number);
        }
    }
    if (static_cast<long long>(list.page - 1) * list.limit >= kDeepestRow)
        return "page " + std::to_string(list.page) + " lies beyond the first " + std::to_string(kDeepestRow) +
               " runs; narrow the list with a filter";
    return std::nullopt;
}

std::string list_query_string(const ListQuery &list) {
    std::string query;
    auto add = [&](const char *key, const std::string &value) {
        query += (query.empty() ? "" : "&") + std::string(key) + "=" + percent_encode(value);
    };
    if (list.sort != SortKey::Total)
        add("sort", sort_name(list.sort));
    if (!list.chip.empty())
        add("chip", list.chip);
    if (!list.cpu.empty())
        add("cpu", list.cpu);
    if (!list.os.empty())
        add("os", list.os);
    if (list.limit != kPageSize)
        add("limit", std::to_string(list.limit));
    if (list.page != 1)
        add("page", std::to_string(list.page));
    return query;
}

} // namespace results
