// The JSON answers of /api/runs: the same lists and runs as the pages, for scripts.
#pragma once

#include "store.h"

#include <string>

namespace results {

// {"runs": [...], "page": 1, "pages": 3, "matching": 120, "sort": "total", "filters": {...}}
std::string list_json(const ListQuery &query, const ListPage &list);
// {"id", "url", "created_at", "total", "modes", "pc", "rank", "details"}; base: "http://host" or "".
std::string run_json(const StoredRun &stored, const Standing &standing, const std::string &base);
// {"id": 12, "url": "http://host/runs/12", "stored": true}
std::string submission_json(const Submission &submission, const std::string &base);
// {"error": "reason"}
std::string error_json(const std::string &reason);

} // namespace results
