// Query strings as they arrive: "key=value" pairs split on '&', each value's percent escapes
// turned into bytes. The address and the leaderboard's parameters are both read with these.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace results {

using QueryPairs = std::vector<std::pair<std::string, std::string>>; // key, raw value, in order

// The pairs of a query (the part after '?'), or the reason it cannot be split: an empty pair or a
// pair without '='. An empty query has no pairs.
std::optional<std::string> split_query(const std::string &query, QueryPairs &pairs);
// The bytes of a raw value: "%XX" (either case of hex digits) is one byte, '+' is a space (as a form
// sends it), every other byte stands for itself (raw spaces included). Fails on a '%' without two hex
// digits.
std::optional<std::string> percent_decode(const std::string &raw, std::string &bytes);
// A value for a link: every byte outside the unreserved characters as "%XX".
std::string percent_encode(const std::string &bytes);

} // namespace results
