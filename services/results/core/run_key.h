// What makes two submissions the same run: the values the result address carries (so a reloaded
// result page, or the same run sent as an address and as a result file, is kept once), and for a
// result file its whole content.
#pragma once

#include "run.h"

#include <string>

namespace results {

// Hex SHA-256 of the bytes.
std::string sha256_hex(const std::string &bytes);
// The address key of a run: every PC key, "m" and "r", in the screen's order, each with its value
// or marked as left out.
std::string address_key(const Run &run);

} // namespace results
