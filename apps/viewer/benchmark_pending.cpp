// Stands in for the benchmark until it is built: an empty command line then shows the viewer.
#include "benchmark.h"

bool benchmark_available() { return false; }
int benchmark_state_step(int) { return 0; }
int benchmark_run(int) { return 0; }
