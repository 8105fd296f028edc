// The benchmark's own address and result file, made by the viewer's portable code exactly as its
// result screen makes them, with glibc's EUC-JP table standing in for the Windows code page.
#pragma once

#include "bench_result.h"

#include <string>

namespace results_test {

// The two EUC-JP bytes of a character from glibc's table (both at least 0xA1, or 0x8E and a kana).
bool glibc_euc_jp(char16_t c, uint8_t (&bytes)[2]);
// A PC with Latin, Japanese and list values, and a run of modes 1 and 3.
bench::BenchResult sample_result();
// The address the result screen builds for a result, with its total computed as the screen does.
std::u16string viewer_address(bench::BenchResult &result, const std::u16string &host = u"https://results.example.invalid");
// The query of an address as a client sends it: characters below U+0100 as single bytes (escaped
// or not, a byte is a byte to the decoder), nothing else may remain after the viewer's escaping.
std::string sent_query(const std::u16string &address);

} // namespace results_test
