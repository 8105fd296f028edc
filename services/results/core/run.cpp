// The PC keys come from the viewer's own table, so the service cannot drift from what it sends.
#include "run.h"

#include "bench_pcinfo.h"

#include <cassert>

namespace results {

const std::array<const char *, 17> &pc_keys() {
    static const std::array<const char *, 17> keys = [] {
        std::array<const char *, 17> list{};
        std::vector<bench::InfoRow> rows = bench::pc_info_rows(bench::PcInfo{});
        assert(rows.size() == list.size());
        for (size_t i = 0; i < list.size(); ++i)
            list[i] = rows[i].key;
        return list;
    }();
    return keys;
}

const std::string &Run::value(const std::string &key) const {
    static const std::string none;
    auto it = pc.find(key);
    return it == pc.end() ? none : it->second;
}

} // namespace results
