// Test assets made on the fly: PCM tones, RIFF/WAVE files (also malformed ones) and ".vfs"
// sound archives, so the tests need no binary files. Portable: used natively and under Wine.
#pragma once

#include <stdint.h>
#include <string>
#include <utility>
#include <vector>

namespace snd_test {

typedef std::vector<uint8_t> Bytes;

struct Tone {
    uint32_t rate = 44100;     // samples per second
    uint16_t channels = 2;
    uint16_t bits = 16;
    double frequency = 440.0;  // Hz
    double seconds = 1.0;
    double amplitude = 0.5;    // of full scale
};

// PCM samples of a sine tone.
Bytes tone_data(const Tone &t);

// A phase-continuous tone in the format of t whose frequency steps: (Hz, seconds) pairs in order.
Bytes tone_steps(const Tone &t, const std::vector<std::pair<double, double>> &steps);

struct WaveLayout {
    uint32_t formatBytes = 16;     // size written in the format chunk header (extra bytes are zero)
    bool listBeforeData = false;   // a LIST chunk between the format and data chunks
    int64_t dataSizeField = -1;    // size written in the data chunk header; -1 = the real size
    uint16_t blockAlignOverride = 0xFFFF;  // 0xFFFF = the real block align
    uint16_t channelsOverride = 0xFFFF;
};

// A RIFF/WAVE file of the tone's format around data.
Bytes wave_file(const Tone &format, const Bytes &data, const WaveLayout &layout = WaveLayout());

struct Member {
    std::u16string name;  // up to 16 units; 16 units leave it unterminated
    Bytes bytes;
};

// A ".vfs" archive: 16-byte header, 48-byte directory slots, then the members.
Bytes vfs_archive(const std::vector<Member> &members, uint16_t recordLength = 40);

bool write_file(const std::string &path, const Bytes &bytes);

}  // namespace snd_test
