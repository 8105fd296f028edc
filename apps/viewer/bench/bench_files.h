// The benchmark's result files on disk, and lines printed for the person or script that started an
// unattended run.
#pragma once

#include "bench_result.h"

#include <string>

namespace bench {

// Writes the JSON summary to `path` and the frame times beside it; false when either could not be
// written whole (a missing or read-only folder, a name the file system refuses).
bool write_result_files(const BenchResult &result, const std::u16string &path);
// A line (UTF-8) on the standard output of the program, or of the console that started it.
void print_line(const std::string &line);

} // namespace bench
