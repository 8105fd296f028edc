// The bytes of a result address value as text: the benchmark writes characters below U+0100 as
// single bytes (Latin-1) and every other character as its two-byte EUC-JP code (the Windows code
// page 20932 table, which matches glibc's EUC-JP on every pair it writes, plus the user-defined rows).
#pragma once

#include <optional>
#include <string>

namespace results {

// UTF-8 text of the bytes, or the reason they are not text the benchmark writes. A byte from 0xA1
// to 0xFE followed by another is an EUC-JP pair and must name a character; such a byte alone is a
// Latin-1 letter. Two Latin-1 letters from that range in a row cannot be told from one pair and are
// read as the pair: the address format has no way to mark them.
std::optional<std::string> decode_address_bytes(const std::string &bytes, std::string &utf8);

} // namespace results
