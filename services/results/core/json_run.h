// The benchmark's result file (what "/auto" writes and "/submit" posts) read into a run, checked
// against the file's format: the PC table, four modes with six shots each, and a total that the
// score formula gives for them.
#pragma once

#include "run.h"

#include <optional>
#include <string>

namespace results {

// Largest result file taken: a real one is about 12 KB.
constexpr size_t kResultFileLimit = 64 * 1024;
// Deepest nesting taken: the format nests four levels.
constexpr int kResultNestingLimit = 8;

// The run of a result file, or the reason it is refused.
std::optional<std::string> run_from_result_json(const std::string &body, Run &run);

} // namespace results
