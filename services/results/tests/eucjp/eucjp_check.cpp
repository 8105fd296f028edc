// Reads the escapes the benchmark writes under Windows (escape_dump_win.cpp) back through the
// service's decoder: every character that was not sent as '?' must come back as itself.
#include "eucjp.h"
#include "query.h"
#include "utf8.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: results_eucjp_check <dump file>\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    std::string line;
    int characters = 0, pairs = 0, failures = 0, lowTrail = 0;
    while (std::getline(in, line)) {
        ++characters;
        unsigned code = 0;
        char escaped[64] = "";
        if (std::sscanf(line.c_str(), "%x %63s", &code, escaped) != 2) {
            std::printf("unreadable line: %s\n", line.c_str());
            ++failures;
            continue;
        }
        if (std::string(escaped) == "%3F")
            continue; // no two-byte code: the benchmark sends a question mark
        ++pairs;
        std::string bytes, text, expected;
        results::append_utf8(expected, code);
        std::optional<std::string> error = results::percent_decode(escaped, bytes);
        if (!error)
            error = results::decode_address_bytes(bytes, text);
        if (error || text != expected) {
            if (bytes.size() == 2 && static_cast<unsigned char>(bytes[1]) < 0xA1)
                ++lowTrail;
            if (++failures <= 20)
                std::printf("U+%04X sent as %s reads back as %s\n", code, escaped, error ? error->c_str() : text.c_str());
        }
    }
    std::printf("eucjp: %d characters, %d sent as EUC-JP pairs, %d not read back\n", characters, pairs, failures);
    if (lowTrail)
        std::printf("eucjp: %d of them were sent as pairs whose second byte is below 0xA1 (Windows' two-byte form of\n"
                    "JIS X 0212), which read the same as a Latin-1 letter and an ASCII character: the benchmark must\n"
                    "send such characters as %%3F\n",
                    lowTrail);
    // JIS X 0208 and the half-width katakana alone are some 6,900 characters.
    return failures == 0 && characters > 60000 && pairs > 6800 ? 0 : 1;
}
