// What a leaderboard shows: the order (total or one mode's rate), the filters (graphics chip,
// processor, operating system: exact names) and the page, read from and written back to the query.
#pragma once

#include <optional>
#include <string>

namespace results {

enum class SortKey { Total, Mode1, Mode2, Mode3, Mode4 };

constexpr int kPageSize = 50;        // rows of a leaderboard page
constexpr int kApiLimitMax = 100;    // rows one API answer may ask for
constexpr int kDeepestRow = 10000;   // pages reach this far down a list; filters narrow it further

struct ListQuery {
    SortKey sort = SortKey::Total;
    std::string chip, cpu, os; // exact names; empty = any
    int page = 1;              // from 1
    int limit = kPageSize;     // rows per page
};

// The leaderboard query of a request's query string, or the reason it is refused. Unknown parameters
// are ignored (links from elsewhere carry their own); a bad value of a known one is refused.
std::optional<std::string> parse_list_query(const std::string &query, ListQuery &list);
// The query string ("sort=mode1&chip=…&page=2", without '?') that shows this list.
std::string list_query_string(const ListQuery &list);

// "total", "mode1" … "mode4".
const char *sort_name(SortKey sort);
// The mode (1 to 4) a key sorts by, or 0 for the total.
int sort_mode(SortKey sort);
// The last page that lies within kDeepestRow for this many matching runs (at least 1).
int last_page(long long matching, int limit);

} // namespace results
