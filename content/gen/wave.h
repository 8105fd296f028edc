// Wave files and ".vfs" sound archives as the sound library reads them: a RIFF/WAVE file whose
// 16-byte "fmt " chunk is followed directly by its "data" chunk, and an archive of a 16-byte
// header, a directory of 48-byte slots (40-byte entry: 16 UTF-16 name units, offset, size) and
// the member files.
#pragma once
#include "out.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace content {

constexpr int kRate = 44100; // samples per second of every generated sound

// PCM 16-bit wave file bytes from interleaved samples.
Bytes encodeWav(const std::vector<int16_t>& samples, int channels, int rate = kRate);
// Archive of the named members (names of at most 15 characters).
Bytes encodeVfs(const std::vector<std::pair<std::string, Bytes>>& members);

// Float buffer helpers: mono or interleaved stereo in -1..1, turned into 16-bit with a clamp.
std::vector<int16_t> toPcm16(const std::vector<float>& x, float gain = 1.0f);

} // namespace content
