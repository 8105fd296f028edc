// EUC-JP codes from the platform's code-page table, for the result address's percent escapes.
#pragma once

#include <cstdint>

namespace bench {

// The two EUC-JP bytes of a character (JIS X 0208, or a half-width katakana after 0x8E); false when
// EUC-JP has no two-byte code for it.
bool euc_jp_bytes(char16_t c, uint8_t (&bytes)[2]);

} // namespace bench
