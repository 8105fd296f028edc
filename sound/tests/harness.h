// Windows side of sonra's tests: a watcher that answers the library's message boxes and keeps
// their texts, and a reader of the live recording of what the null sink played, with the
// measures the tests take of it (level, onset, frequency).
#pragma once

#include <windows.h>
#include <stdint.h>
#include <string>
#include <vector>

namespace snd_test {

// Closes every "SONRA" message box as it appears and keeps its text.
class MessageWatcher {
public:
    MessageWatcher();
    ~MessageWatcher();
    std::vector<std::wstring> take();  // texts seen since the last take
private:
    static DWORD WINAPI run(void *self);
    HANDLE thread_;
    volatile LONG stop_;
    CRITICAL_SECTION lock_;
    std::vector<std::wstring> seen_;
};

// Stereo 16-bit frames at 44100 per second, as recorded.
struct Frames {
    std::vector<int16_t> samples;  // interleaved left, right
    size_t count() const { return samples.size() / 2; }
};

// The recording that the test runner keeps of the null sink (TRVX_CAPTURE names the file).
class Capture {
public:
    Capture();
    bool available() const { return !path_.empty(); }
    uint64_t mark() const;                 // bytes recorded so far
    Frames since(uint64_t mark) const;     // what was recorded after mark
private:
    std::wstring path_;
};

enum { CAPTURE_RATE = 44100 };

// RMS of one channel over [first, first + count) frames.
double rms(const Frames &f, int channel, size_t first, size_t count);
// First frame where either channel exceeds threshold, or SIZE_MAX.
size_t onset(const Frames &f, int threshold, size_t from = 0);
// Last frame where either channel exceeds threshold, or SIZE_MAX.
size_t last_sound(const Frames &f, int threshold);
// Frequency in Hz of one channel over a window, from its rising zero crossings.
double frequency(const Frames &f, int channel, size_t first, size_t count);
double decibels(double ratio);
// Frames of silence (both channels below threshold) in the longest run inside [first, first + count).
size_t longest_silence(const Frames &f, int threshold, size_t first, size_t count);

// A span of frames in a recording.
struct Span {
    size_t first, frames;
};
// Runs of silence (both channels at or below threshold) longer than minRun frames inside [first, last].
std::vector<Span> silences(const Frames &f, int threshold, size_t minRun, size_t first, size_t last);
size_t frames_in(const std::vector<Span> &spans);

}  // namespace snd_test
