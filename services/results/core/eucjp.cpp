// EUC-JP and Latin-1 bytes to UTF-8, with glibc's EUC-JP table through iconv.
#include "eucjp.h"

#include "utf8.h"

#include <cstdio>
#include <iconv.h>

namespace results {

namespace {

constexpr unsigned char kFirstEucByte = 0xA1, kLastEucByte = 0xFE;
constexpr unsigned char kSingleShift2 = 0x8E; // half-width katakana follow
constexpr unsigned char kSingleShift3 = 0x8F; // JIS X 0212 follows (two more bytes)
constexpr unsigned char kLastKanaByte = 0xDF;
// Rows 85 to 94 are user-defined; Windows maps them to the private use area from U+E000.
constexpr unsigned char kFirstUserRow = 0xF5;
constexpr char32_t kUserAreaStart = 0xE000;
constexpr int kCellsPerRow = 94;

bool euc_byte(unsigned char b) { return b >= kFirstEucByte && b <= kLastEucByte; }

// One iconv descriptor per thread: a descriptor keeps conversion state and is not shared.
class EucJpTable {
public:
    EucJpTable() : cd_(iconv_open("UTF-32LE", "EUC-JP")) {}
    ~EucJpTable() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    EucJpTable(const EucJpTable &) = delete;
    EucJpTable &operator=(const EucJpTable &) = delete;

    // The character of one complete EUC-JP sequence, or false when the table has none.
    bool decode(const unsigned char *sequence, size_t length, char32_t &code) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            return false;
        char in[3], out[8];
        for (size_t i = 0; i < length; ++i)
            in[i] = static_cast<char>(sequence[i]);
        char *inPtr = in, *outPtr = out;
        size_t inLeft = length, outLeft = sizeof out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
            sizeof out - outLeft != 4)
            return false;
        code = static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
               static_cast<unsigned char>(out[2]) << 16 | static_cast<char32_t>(static_cast<unsigned char>(out[3])) << 24;
        return true;
    }

private:
    iconv_t cd_;
};

std::string escapes(const unsigned char *bytes, size_t length) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(hex, sizeof hex, "%%%02X", bytes[i]);
        text += hex;
    }
    return text;
}

} // namespace

std::optional<std::string> decode_address_bytes(const std::string &bytes, std::string &utf8) {
    thread_local EucJpTable table;
    utf8.clear();
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        size_t length = 1;
        char32_t code = b[i];
        bool pairFollows = i + 1 < n && euc_byte(b[i + 1]);
        if (b[i] == kSingleShift2) {
            length = 2;
            if (!pairFollows || b[i + 1] > kLastKanaByte || !table.decode(b + i, length, code))
                return "invalid EUC-JP sequence " + escapes(b + i, i + 1 < n ? 2 : 1);
        } else if (b[i] == kSingleShift3) {
            length = 3;
            if (!pairFollows || i + 2 >= n || !euc_byte(b[i + 2]) || !table.decode(b + i, length, code))
                return "invalid EUC-JP sequence " + escapes(b + i, std::min<size_t>(3, n - i));
        } else if (euc_byte(b[i]) && pairFollows) {
            length = 2;
            if (b[i] >= kFirstUserRow) {
                code = kUserAreaStart + (b[i] - kFirstUserRow) * kCellsPerRow + (b[i + 1] - kFirstEucByte);
            } else if (!table.decode(b + i, length, code)) {
                return "invalid EUC-JP sequence " + escapes(b + i, 2) + " (no character has this code)";
            }
        }
        append_utf8(utf8, code);
        i += length;
    }
    return std::nullopt;
}

} // namespace results
