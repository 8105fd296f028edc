// Fuzzes the leaderboard's query: a query that is taken writes back to one that reads the same.
#include "list_query.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string query(reinterpret_cast<const char *>(data), size);
    results::ListQuery list;
    if (results::parse_list_query(query, list))
        return 0;
    std::string written = results::list_query_string(list);
    results::ListQuery again;
    if (results::parse_list_query(written, again) || results::list_query_string(again) != written)
        std::abort();
    return 0;
}
