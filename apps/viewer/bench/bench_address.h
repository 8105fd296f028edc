// The result page address: the page on the configured host and a query that carries every value of
// the result screen, with non-ASCII characters as percent-escaped EUC-JP bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace bench {

// Longest address in UTF-16 characters: the address buffer holds 2048 with its terminator.
constexpr size_t kAddressLimit = 2047;
constexpr char16_t kDefaultResultHost[] = u"https://results.example.invalid";

// Two-byte EUC-JP code of a character, or false when it has none. The table is the platform's.
using EucJpEncoder = std::function<bool(char16_t c, uint8_t (&bytes)[2])>;

// Whether two bytes are an EUC-JP code the page can read: a JIS X 0208 character (both bytes 0xA1 to
// 0xFE) or a half-width katakana (0x8E, then 0xA1 to 0xDF). A table may answer others (JIS X 0212
// without its 0x8F prefix, which the page would read as another character).
bool euc_jp_pair_valid(const uint8_t (&bytes)[2]);

// A value as it goes into the query. Letters, digits, "-", ".", "_", "~" and the space stay as they
// are; every other ASCII character is escaped ("%26"), so that no value can end or split its
// parameter, nor the browser's command line; every other character goes as its two EUC-JP bytes
// ("%C5%EC"). A character without a two-byte code (or half a surrogate pair) goes as "%3F", a
// question mark.
std::u16string escape_value(const std::u16string &value, const EucJpEncoder &encoder);

// Whether a configured host may receive the results: only "http://" and "https://" addresses can be
// handed to the browser (any other scheme would start whatever program claims it).
bool host_allowed(const std::u16string &host);

class ResultAddress {
public:
    // host: "https://name" without the path; a trailing slash is dropped.
    explicit ResultAddress(std::u16string host);

    // Adds "?key=value" for the first parameter, "&key=value" for the others. A parameter that
    // would take the address past its limit, less `keepFree` characters for parameters that must
    // follow, is left out whole, so the address never ends inside a parameter; later shorter ones
    // still go in. Returns whether it went in.
    bool add(const char *key, const std::u16string &value, const EucJpEncoder &encoder, size_t keepFree = 0);
    // Adds an already escaped parameter under the same rule.
    bool add_escaped(const char *key, const std::u16string &escapedValue, size_t keepFree = 0);
    // The length "&key=value" takes.
    static size_t parameter_length(const char *key, const std::u16string &escapedValue);

    const std::u16string &text() const { return text_; }
    int dropped() const { return dropped_; } // parameters left out for length

private:
    std::u16string text_;
    bool hasQuery_ = false;
    int dropped_ = 0;
};

} // namespace bench
