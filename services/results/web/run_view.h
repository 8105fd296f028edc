// A run as the benchmark's result screen shows it (the PC table with its labels and units, the
// four mode rows, the total), and the figures of its result file.
#pragma once

#include "run.h"

#include <string>

namespace results {

// "960 * 600  WindowMode  Antialias-none" for mode 1 to 4; mode 4 is the screen size ("q"), or
// "現在の解像度" without one.
std::string mode_description(const Run &run, int mode);
// The PC table ("● ＰＣの情報").
std::string pc_table_html(const Run &run);
// The mode rows and the total ("● ベンチマーク結果").
std::string mode_rows_html(const Run &run);
// Per mode: the six shots' rates and frame-time figures, when the run came with its result file.
std::string details_html(const Run &run);

} // namespace results
