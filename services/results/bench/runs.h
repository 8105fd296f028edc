// Runs for the load benchmark: result files and addresses as the benchmark sends them, each unique,
// and runs written straight into the database to fill it.
#pragma once

#include "run.h"

#include <cstdint>
#include <string>

namespace results_bench {

// A result file of a plausible PC whose values follow from n (a different run for every n).
std::string result_file(uint64_t n);
// "/benchmark/post_data.php?…" of a plausible run, different for every n.
std::string address_path(uint64_t n);
// The same file with a total the formula does not give: the service must refuse it.
std::string refused_file(uint64_t n);
// A run for filling the database: chips, processors and systems from short lists, totals spread
// around a thousand points.
results::Run filler_run(uint64_t n);

} // namespace results_bench
