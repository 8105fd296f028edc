// The result page address the benchmark opens, "/benchmark/post_data.php?a=…&n=…&…&m=…&r=…",
// read into a run.
#pragma once

#include "run.h"

#include <optional>
#include <string>

namespace results {

// Longest query taken: the benchmark's address is at most 2047 characters, and a browser may write
// each of them as a three-byte escape.
constexpr size_t kAddressQueryLimit = 3 * 2047;

// The run of a query (the part after '?'), or the reason it is refused. Parameters may come in any
// order; a PC parameter or "m" may be missing (the benchmark leaves out whole parameters that would
// pass its address limit), but "r" must be there: a run without a total cannot be ranked. Unknown
// and repeated parameters are refused.
std::optional<std::string> run_from_address(const std::string &query, Run &run);

} // namespace results
