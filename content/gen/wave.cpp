// Wave and archive encoders (see wave.h).
#include "wave.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace content {

static void put16(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
static void put32(Bytes& b, uint32_t v) { put16(b, v & 0xFFFF); put16(b, v >> 16); }
static void tag(Bytes& b, const char* t) { b.insert(b.end(), t, t + 4); }

Bytes encodeWav(const std::vector<int16_t>& s, int channels, int rate)
{
  const uint32_t data = uint32_t(s.size() * 2);
  Bytes b;
  b.reserve(44 + data);
  tag(b, "RIFF"); put32(b, 36 + data); tag(b, "WAVE");
  tag(b, "fmt "); put32(b, 16);
  put16(b, 1); put16(b, uint32_t(channels)); put32(b, uint32_t(rate));
  put32(b, uint32_t(rate * channels * 2)); put16(b, uint32_t(channels * 2)); put16(b, 16);
  tag(b, "data"); put32(b, data);
  for (int16_t v : s) put16(b, uint16_t(v));
  return b;
}

Bytes encodeVfs(const std::vector<std::pair<std::string, Bytes>>& members)
{
  const uint32_t count = uint32_t(members.size());
  const uint32_t dirBytes = 48 * count;
  Bytes b;
  tag(b, "VFS1"); put16(b, count); put16(b, 40); put32(b, dirBytes); put32(b, 0);
  uint32_t offset = 16 + dirBytes;
  for (const auto& m : members) {
    if (m.first.size() > 15) throw std::runtime_error("archive member name too long: " + m.first);
    for (size_t i = 0; i < 16; ++i) put16(b, i < m.first.size() ? uint8_t(m.first[i]) : 0);
    put32(b, offset);
    put32(b, uint32_t(m.second.size()));
    for (int i = 0; i < 8; ++i) b.push_back(0);
    offset += uint32_t(m.second.size());
  }
  for (const auto& m : members) b.insert(b.end(), m.second.begin(), m.second.end());
  return b;
}

std::vector<int16_t> toPcm16(const std::vector<float>& x, float gain)
{
  std::vector<int16_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i)
    out[i] = int16_t(std::lround(std::clamp(x[i] * gain, -1.0f, 1.0f) * 32767.0f));
  return out;
}

} // namespace content
