// The distribution of all totals as a server-drawn SVG bar chart, with one run's bar marked.
#pragma once

#include "distribution.h"

#include <string>

namespace results {

// An inline <svg> element; an empty distribution draws a note instead.
std::string distribution_svg(const Distribution &d);

} // namespace results
