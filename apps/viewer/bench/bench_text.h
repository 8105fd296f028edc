// UTF-16 text helpers shared by the benchmark's portable parts: the screens, the result address and
// the result file all carry the PC's names as the UTF-16 strings the engine reports.
#pragma once

#include <string>

namespace bench {

// Decimal text of a number.
std::u16string decimal(long long value);
// ASCII or UTF-8 text widened to UTF-16 (for the program's own ASCII texts and file names).
std::u16string widen(const std::string &utf8);
// UTF-8 form of UTF-16 text; unpaired surrogates become U+FFFD.
std::string utf8(const std::u16string &text);

} // namespace bench
