// Small pieces of HTML shared by the pages: every text from a run passes through escape().
#pragma once

#include <ctime>
#include <string>

namespace results {

// Text for HTML element content and quoted attribute values.
std::string escape(const std::string &text);
// A whole page: the head with the style sheet, the top bar, the content and the footer.
std::string page(const std::string &title, const std::string &content);
// "2026-12-08 21:53 UTC".
std::string utc_time(std::time_t seconds);
// "1,234,567".
std::string grouped(long long value);

} // namespace results
