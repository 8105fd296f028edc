// UTF-8 reading and writing for the service's texts (every stored and shown text is UTF-8).
#pragma once

#include <cstddef>
#include <string>

namespace results {

// Appends a code point as UTF-8.
void append_utf8(std::string &out, char32_t code);
// Reads the code point at text[i] and moves i past it; false for invalid UTF-8 (overlong forms,
// surrogates, truncated sequences), leaving i unchanged.
bool next_code_point(const std::string &text, size_t &i, char32_t &code);
// Whether the text is valid UTF-8.
bool valid_utf8(const std::string &text);

} // namespace results
