// The service's HTML pages: the leaderboard, one run, the answer to a submitted result address,
// and the pages that say why a request was refused.
#pragma once

#include "store.h"

#include <string>

namespace results {

enum class Arrival { None, Stored, AlreadyStored }; // how a run page was reached

std::string leaderboard_page(const ListQuery &query, const ListPage &list, const Distribution &all);
std::string run_page(const StoredRun &stored, const Standing &standing, const Distribution &all, Arrival arrival);
// A refused request: the heading for its kind and the reason.
std::string refusal_page(int status, const std::string &reason);

} // namespace results
