// Measured sound: sonra plays through Wine's DirectSound into the PulseAudio null sink while
// capture_run.sh records it; each case looks at the recording of what it played.
#include <gtest/gtest.h>

#include <functional>

#include "assets.h"
#include "harness.h"
#include "sonra.h"

using namespace snd_test;

namespace {

const int kQuiet = 200;  // sample magnitude below which the recording counts as silent
const size_t kMs = CAPTURE_RATE / 1000;

std::wstring wide(const std::string &s) { return std::wstring(s.begin(), s.end()); }

std::string asset(const std::string &name, const Bytes &bytes)
{
    CreateDirectoryA("sonra_sound", nullptr);
    std::string path = "sonra_sound\\" + name;
    EXPECT_TRUE(write_file(path, bytes));
    return path;
}

Tone tone(double seconds, double hz = 440.0, uint32_t rate = 44100)
{
    Tone t;
    t.seconds = seconds;
    t.frequency = hz;
    t.rate = rate;
    return t;
}

class Sound : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(1, SNR2_Start(nullptr, SNR2_START_3D_SOFTWARE)); }
    static void TearDownTestSuite() { SNR2_End(); }
    void SetUp() override
    {
        if (!capture.available())
            GTEST_SKIP() << "no recording: run through capture_run.sh";
    }
    void TearDown() override
    {
        SNR2_WaveStop(-1);
        for (int i = 0; i < SNR2_SLOTS; ++i)
            SNR2_WaveSetLocalVol(i, 100);
        Sleep(150);
    }
    // Records while play() runs and for ms milliseconds after it.
    Frames record(const std::function<void()> &play, int ms)
    {
        Sleep(100);
        uint64_t m = capture.mark();
        play();
        Sleep(ms);
        Sleep(250);  // what was played reaches the recording a little later
        return capture.since(m);
    }
    void load(const std::string &name, const Tone &t, tagSNRWAVE *w)
    {
        ASSERT_EQ(1, SNR2_WaveRead(wide(asset(name, wave_file(t, tone_data(t)))).c_str(), w));
        ASSERT_NE(nullptr, w->buffer);
    }
    Capture capture;
};

}  // namespace

TEST_F(Sound, RecordingHearsAToneOnTheLeftOnly)
{
    tagSNRWAVE w = {};
    load("tone440.wav", tone(0.6), &w);
    Frames f = record([&] {
        SNR2_WavePlay(0, &w, 1);
        SNR2_WaveSetPan(0, -100);
    }, 700);
    size_t start = onset(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start) << "nothing was recorded";
    EXPECT_NEAR(440.0, frequency(f, 0, start + 50 * kMs, 400 * kMs), 3.0);
    EXPECT_GT(rms(f, 0, start + 50 * kMs, 400 * kMs), 5000);
    EXPECT_LT(rms(f, 1, start + 50 * kMs, 400 * kMs), 20);
    SNR2_WaveFree(&w);
}

TEST_F(Sound, HalfTheLocalVolumeIsFifteenDecibelsDown)
{
    tagSNRWAVE w = {};
    load("level.wav", tone(0.5), &w);
    double level[2];
    const int volumes[2] = {100, 50};
    for (int i = 0; i < 2; ++i) {
        SNR2_WaveSetLocalVol(1, volumes[i]);
        Frames f = record([&] { SNR2_WavePlay(1, &w, 1); }, 550);
        size_t start = onset(f, 50);
        ASSERT_NE(SIZE_MAX, start);
        level[i] = rms(f, 0, start + 50 * kMs, 350 * kMs);
    }
    EXPECT_NEAR(-15.05, decibels(level[1] / level[0]), 1.5);
    SNR2_WaveFree(&w);
}

TEST_F(Sound, PitchLowersTheMeasuredFrequency)
{
    tagSNRWAVE w = {};
    load("pitch.wav", tone(1.0, 440.0, 22050), &w);
    Frames f = record([&] {
        SNR2_WavePlay(2, &w, 1);
        SNR2_WaveSetPitch(2, 85);
    }, 900);
    size_t start = onset(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    EXPECT_NEAR(440.0 * 0.85, frequency(f, 0, start + 100 * kMs, 600 * kMs), 3.0);
    SNR2_WaveFree(&w);
}

TEST_F(Sound, ACountOfThreePlaysThreeTimes)
{
    tagSNRWAVE w = {};
    load("thrice.wav", tone(0.3), &w);
    Frames f = record([&] { SNR2_WavePlay(3, &w, 3); }, 1300);
    size_t start = onset(f, kQuiet), end = last_sound(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    double heard = (double)(end - start) / CAPTURE_RATE;
    EXPECT_NEAR(0.9, heard, 0.15);
    EXPECT_EQ(0, SNR2_WaveStatus(3));
    SNR2_WaveFree(&w);
}

TEST_F(Sound, StopLeavesSilence)
{
    tagSNRWAVE w = {};
    load("stop.wav", tone(0.5), &w);
    Frames f = record([&] {
        SNR2_WavePlay(4, &w, -1);
        Sleep(800);
        SNR2_WaveStop(4);
    }, 600);
    size_t start = onset(f, kQuiet), end = last_sound(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    // looping past the wave's own length, then nothing after the stop
    EXPECT_NEAR(0.8, (double)(end - start) / CAPTURE_RATE, 0.15);
    EXPECT_LT(rms(f, 0, end + 10 * kMs, 400 * kMs), 1.0);
    SNR2_WaveFree(&w);
}

TEST_F(Sound, AnArchiveMemberSoundsLikeTheLooseFile)
{
    Tone t = tone(0.5, 660.0);
    Bytes wav = wave_file(t, tone_data(t));
    asset("member.wav", wav);
    asset("pack.vfs", vfs_archive({{u"MEMBER.WAV", wav}}));
    CreateDirectoryA("sonra_sound\\pack", nullptr);
    tagSNRWAVE loose = {}, packed = {};
    ASSERT_EQ(1, SNR2_WaveRead(L"sonra_sound\\member.wav", &loose));
    ASSERT_EQ(1, SNR2_WaveRead(L"sonra_sound\\pack\\member.wav", &packed));
    ASSERT_NE(nullptr, packed.buffer);
    double level[2], hz[2];
    tagSNRWAVE *waves[2] = {&loose, &packed};
    for (int i = 0; i < 2; ++i) {
        Frames f = record([&] { SNR2_WavePlay(5, waves[i], 1); }, 550);
        size_t start = onset(f, kQuiet);
        ASSERT_NE(SIZE_MAX, start);
        level[i] = rms(f, 0, start + 50 * kMs, 350 * kMs);
        hz[i] = frequency(f, 1, start + 50 * kMs, 350 * kMs);
    }
    EXPECT_NEAR(level[0], level[1], level[0] * 0.02);
    EXPECT_NEAR(660.0, hz[1], 3.0);
    EXPECT_NEAR(hz[0], hz[1], 1.0);
    SNR2_WaveFree(&loose);
    SNR2_WaveFree(&packed);
}
