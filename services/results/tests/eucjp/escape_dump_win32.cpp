// Writes how the benchmark's result address escapes every character above U+00FF, through the
// viewer's own escaping and Windows' EUC-JP table (code page 20932): one line per character,
// "XXXX escapes", for the service's decoder to read back (eucjp_check.cpp).
#include "bench_address.h"
#include "bench_eucjp.h"

#include <cstdio>

int wmain(int argc, wchar_t **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: results_escape_dump <output file>\n");
        return 2;
    }
    FILE *out = _wfopen(argv[1], L"wb");
    if (!out)
        return 1;
    for (unsigned c = 0x100; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue; // halves of surrogate pairs are not characters
        std::u16string escaped = bench::escape_value(std::u16string(1, static_cast<char16_t>(c)), bench::euc_jp_bytes);
        std::fprintf(out, "%04X ", c);
        for (char16_t e : escaped)
            std::fputc(static_cast<char>(e), out);
        std::fputc('\n', out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
