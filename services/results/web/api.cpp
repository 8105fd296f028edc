// Building the JSON answers.
#include "api.h"

#include <nlohmann/json.hpp>

#include <ctime>

namespace results {

namespace {

using nlohmann::json;

std::string iso_time(std::time_t seconds) {
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

json modes_json(const std::optional<ModeRates> &modes) {
    if (!modes)
        return nullptr;
    return json(std::vector<int>(modes->begin(), modes->end()));
}

std::string run_url(const std::string &base, int64_t id) { return base + "/runs/" + std::to_string(id); }

} // namespace

std::string list_json(const ListQuery &query, const ListPage &list) {
    json runs = json::array();
    for (const ListedRun &run : list.runs)
        runs.push_back({{"id", run.id}, {"rank", run.rank}, {"total", run.total}, {"modes", modes_json(run.modes)},
                        {"chip", run.chip}, {"cpu", run.cpu}, {"os", run.os}, {"created_at", iso_time(run.createdAt)},
                        {"has_details", run.hasDetails}});
    json filters = json::object();
    if (!query.chip.empty())
        filters["chip"] = query.chip;
    if (!query.cpu.empty())
        filters["cpu"] = query.cpu;
    if (!query.os.empty())
        filters["os"] = query.os;
    return json{{"runs", runs},
                {"page", query.page},
                {"pages", last_page(list.matching, query.limit)},
                {"limit", query.limit},
                {"matching", std::min<long long>(list.matching, kDeepestRow)},
                {"matching_capped", list.matching > kDeepestRow},
                {"sort", sort_name(query.sort)},
                {"filters", filters}}
        .dump(2);
}

std::string run_json(const StoredRun &stored, const Standing &standing, const std::string &base) {
    json pc = json::object();
    for (const auto &[key, value] : stored.run.pc)
        pc[key] = value;
    json details = stored.run.details.empty() ? json(nullptr) : json::parse(stored.run.details, nullptr, false);
    if (details.is_discarded())
        details = nullptr;
    json rank = {{"rank", standing.rank}, {"runs", standing.runs}};
    if (standing.chipRuns > 0) {
        rank["chip_rank"] = standing.chipRank;
        rank["chip_runs"] = standing.chipRuns;
    }
    return json{{"id", stored.id},
                {"url", run_url(base, stored.id)},
                {"created_at", iso_time(stored.createdAt)},
                {"total", stored.run.total},
                {"modes", modes_json(stored.run.modes)},
                {"pc", pc},
                {"standing", rank},
                {"details", details}}
        .dump(2);
}

std::string submission_json(const Submission &submission, const std::string &base) {
    return json{{"id", submission.id}, {"url", run_url(base, submission.id)}, {"stored", submission.stored}}.dump(2);
}

std::string error_json(const std::string &reason) { return json{{"error", reason}}.dump(2); }

} // namespace results
