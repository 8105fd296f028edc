// Building the result page address.
#include "bench_address.h"

#include <utility>

namespace bench {

static void append_escape(std::u16string &out, unsigned byte) {
    static const char hex[] = "0123456789ABCDEF";
    out += u'%';
    out += static_cast<char16_t>(hex[byte >> 4]);
    out += static_cast<char16_t>(hex[byte & 15]);
}

// These would end the value, start another parameter or be read as an escape by the page.
static bool splits_query(char16_t c) {
    return c < 0x20 || c == u'&' || c == u'=' || c == u'#' || c == u'%' || c == u'+' || c == 0x7F;
}

std::u16string escape_value(const std::u16string &value, const EucJpEncoder &encoder) {
    std::u16string out;
    for (char16_t c : value) {
        if (c < 0x100) {
            if (splits_query(c))
                append_escape(out, c);
            else
                out += c;
            continue;
        }
        uint8_t bytes[2];
        if (encoder && encoder(c, bytes)) {
            append_escape(out, bytes[0]);
            append_escape(out, bytes[1]);
        } else {
            append_escape(out, '?');
        }
    }
    return out;
}

ResultAddress::ResultAddress(std::u16string host) : text_(std::move(host)) {
    while (!text_.empty() && text_.back() == u'/')
        text_.pop_back();
    text_ += u"/benchmark/post_data.php";
}

bool ResultAddress::add(const char *key, const std::u16string &value, const EucJpEncoder &encoder) {
    return add_escaped(key, escape_value(value, encoder));
}

bool ResultAddress::add_escaped(const char *key, const std::u16string &escapedValue) {
    std::u16string parameter(1, hasQuery_ ? u'&' : u'?');
    for (const char *k = key; *k; ++k)
        parameter += static_cast<char16_t>(*k);
    parameter += u'=';
    parameter += escapedValue;
    if (text_.size() + parameter.size() > kAddressLimit) {
        ++dropped_;
        return false;
    }
    text_ += parameter;
    hasQuery_ = true;
    return true;
}

} // namespace bench
