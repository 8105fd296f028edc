// Splitting queries and percent escapes.
#include "query.h"

namespace results {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

} // namespace

std::optional<std::string> split_query(const std::string &query, QueryPairs &pairs) {
    pairs.clear();
    if (query.empty())
        return std::nullopt;
    size_t start = 0;
    while (true) {
        size_t end = query.find('&', start);
        std::string pair = query.substr(start, end == std::string::npos ? std::string::npos : end - start);
        size_t equals = pair.find('=');
        if (pair.empty())
            return std::string("the query holds an empty parameter (\"&&\" or a trailing '&')");
        if (equals == std::string::npos || equals == 0)
            return "parameter \"" + pair.substr(0, 40) + "\" has no name or no '='";
        pairs.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
        if (end == std::string::npos)
            return std::nullopt;
        start = end + 1;
    }
}

std::optional<std::string> percent_decode(const std::string &raw, std::string &bytes) {
    bytes.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '+') {
            bytes += ' ';
        } else if (raw[i] != '%') {
            bytes += raw[i];
        } else {
            int high = i + 2 < raw.size() ? hex_digit(raw[i + 1]) : -1;
            int low = high >= 0 ? hex_digit(raw[i + 2]) : -1;
            if (low < 0)
                return std::string("a '%' is not followed by two hexadecimal digits");
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return std::nullopt;
}

std::string percent_encode(const std::string &bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (unreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

} // namespace results
