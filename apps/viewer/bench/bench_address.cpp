// Building the result page address.
#include "bench_address.h"

#include <utility>

namespace bench {

namespace {

void append_escape(std::u16string &out, unsigned byte) {
    static const char hex[] = "0123456789ABCDEF";
    out += u'%';
    out += static_cast<char16_t>(hex[byte >> 4]);
    out += static_cast<char16_t>(hex[byte & 15]);
}

bool unreserved(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
           c == u'.' || c == u'_' || c == u'~';
}

bool two_byte_code(const EucJpEncoder &encoder, char16_t c, uint8_t (&bytes)[2]) {
    return encoder && encoder(c, bytes) && euc_jp_pair_valid(bytes);
}

bool starts_with_nocase(const std::u16string &text, const char *prefix) {
    for (size_t i = 0; prefix[i]; ++i) {
        if (i >= text.size())
            return false;
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != static_cast<char16_t>(prefix[i]))
            return false;
    }
    return true;
}

} // namespace

bool euc_jp_pair_valid(const uint8_t (&bytes)[2]) {
    const uint8_t kSingleShift2 = 0x8E; // a half-width katakana follows
    bool kanji = bytes[0] >= 0xA1 && bytes[0] <= 0xFE && bytes[1] >= 0xA1 && bytes[1] <= 0xFE;
    bool kana = bytes[0] == kSingleShift2 && bytes[1] >= 0xA1 && bytes[1] <= 0xDF;
    return kanji || kana;
}

std::u16string escape_value(const std::u16string &value, const EucJpEncoder &encoder) {
    std::u16string out;
    for (char16_t c : value) {
        if (unreserved(c) || c == u' ') {
            out += c;
            continue;
        }
        if (c < 0x80) {
            append_escape(out, c);
            continue;
        }
        uint8_t bytes[2];
        if (two_byte_code(encoder, c, bytes)) {
            append_escape(out, bytes[0]);
            append_escape(out, bytes[1]);
        } else {
            append_escape(out, '?');
        }
    }
    return out;
}

bool host_allowed(const std::u16string &host) {
    size_t nameStart = starts_with_nocase(host, "https://") ? 8 : starts_with_nocase(host, "http://") ? 7 : 0;
    if (nameStart == 0 || nameStart == host.size())
        return false;
    // The host goes to the browser as it stands: nothing in it may end or split the argument.
    for (char16_t c : host)
        if (c <= u' ' || c == u'"' || c == 0x7F)
            return false;
    return true;
}

ResultAddress::ResultAddress(std::u16string host) : text_(std::move(host)) {
    while (!text_.empty() && text_.back() == u'/')
        text_.pop_back();
    text_ += u"/benchmark/post_data.php";
}

bool ResultAddress::add(const char *key, const std::u16string &value, const EucJpEncoder &encoder,
                        size_t keepFree) {
    return add_escaped(key, escape_value(value, encoder), keepFree);
}

size_t ResultAddress::parameter_length(const char *key, const std::u16string &escapedValue) {
    return 2 + std::char_traits<char>::length(key) + escapedValue.size(); // "&" and "="
}

bool ResultAddress::add_escaped(const char *key, const std::u16string &escapedValue, size_t keepFree) {
    std::u16string parameter(1, hasQuery_ ? u'&' : u'?');
    for (const char *k = key; *k; ++k)
        parameter += static_cast<char16_t>(*k);
    parameter += u'=';
    parameter += escapedValue;
    if (text_.size() + parameter.size() + keepFree > kAddressLimit) {
        ++dropped_;
        return false;
    }
    text_ += parameter;
    hasQuery_ = true;
    return true;
}

} // namespace bench
