// Writers of test tones, RIFF/WAVE files and ".vfs" archives.
#include "assets.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace snd_test {

static const double kPi = 3.14159265358979323846;

static void put16(Bytes &b, uint32_t v) { b.push_back((uint8_t)v); b.push_back((uint8_t)(v >> 8)); }
static void put32(Bytes &b, uint32_t v) { put16(b, v & 0xFFFF); put16(b, v >> 16); }
static void put4cc(Bytes &b, const char *id)
{
    for (int i = 0; i < 4; ++i)
        b.push_back((uint8_t)id[i]);
}

Bytes tone_data(const Tone &t)
{
    Bytes out;
    uint32_t frames = (uint32_t)(t.seconds * t.rate);
    out.reserve((size_t)frames * t.channels * (t.bits / 8));
    for (uint32_t i = 0; i < frames; ++i) {
        double v = t.amplitude * sin(2.0 * kPi * t.frequency * i / t.rate);
        for (uint16_t c = 0; c < t.channels; ++c) {
            if (t.bits == 8) {
                out.push_back((uint8_t)(128 + (int)lround(v * 127)));
            } else {
                int s = (int)lround(v * 32767);
                put16(out, (uint32_t)(uint16_t)(int16_t)s);
            }
        }
    }
    return out;
}

Bytes tone_steps(const Tone &t, const std::vector<std::pair<double, double>> &steps)
{
    Bytes out;
    double phase = 0.0;
    for (const auto &step : steps) {
        uint32_t frames = (uint32_t)(step.second * t.rate);
        for (uint32_t i = 0; i < frames; ++i) {
            int s = (int)lround(t.amplitude * sin(phase) * 32767);
            phase += 2.0 * kPi * step.first / t.rate;
            for (uint16_t c = 0; c < t.channels; ++c)
                put16(out, (uint32_t)(uint16_t)(int16_t)s);
        }
    }
    return out;
}

Bytes wave_file(const Tone &f, const Bytes &data, const WaveLayout &layout)
{
    Bytes b;
    uint16_t align = (uint16_t)(f.channels * f.bits / 8);
    put4cc(b, "RIFF");
    put32(b, 0);  // patched below
    put4cc(b, "WAVE");
    put4cc(b, "fmt ");
    put32(b, layout.formatBytes);
    Bytes fmt;
    put16(fmt, 1);
    put16(fmt, layout.channelsOverride != 0xFFFF ? layout.channelsOverride : f.channels);
    put32(fmt, f.rate);
    put32(fmt, f.rate * align);
    put16(fmt, layout.blockAlignOverride != 0xFFFF ? layout.blockAlignOverride : align);
    put16(fmt, f.bits);
    fmt.resize(layout.formatBytes, 0);
    b.insert(b.end(), fmt.begin(), fmt.end());
    if (layout.listBeforeData) {
        put4cc(b, "LIST");
        put32(b, 4);
        put4cc(b, "INFO");
    }
    put4cc(b, "data");
    put32(b, layout.dataSizeField >= 0 ? (uint32_t)layout.dataSizeField : (uint32_t)data.size());
    b.insert(b.end(), data.begin(), data.end());
    uint32_t riff = (uint32_t)b.size() - 8;
    memcpy(&b[4], &riff, 4);
    return b;
}

Bytes vfs_archive(const std::vector<Member> &members, uint16_t recordLength)
{
    const uint32_t dirBytes = (uint32_t)members.size() * 48;
    Bytes b;
    put4cc(b, "VFS1");
    put16(b, (uint32_t)members.size());
    put16(b, recordLength);
    put32(b, dirBytes);
    put32(b, 0);
    uint32_t offset = 16 + dirBytes;
    for (const Member &m : members) {
        for (size_t u = 0; u < 16; ++u)
            put16(b, u < m.name.size() ? m.name[u] : 0);
        put32(b, offset);
        put32(b, (uint32_t)m.bytes.size());
        put32(b, 0);
        put32(b, 0);
        offset += (uint32_t)m.bytes.size();
    }
    for (const Member &m : members)
        b.insert(b.end(), m.bytes.begin(), m.bytes.end());
    return b;
}

bool write_file(const std::string &path, const Bytes &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

}  // namespace snd_test
