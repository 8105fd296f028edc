// Measured sound: sonra plays through Wine's DirectSound into the PulseAudio null sink while
// capture_run.sh records it; each case looks at the recording of what it played.
#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

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
    void TearDown() override { quiet(); }
    // Every slot stopped and at full local volume, as a test starts.
    static void quiet()
    {
        SNR2_WaveStop(-1);
        for (int i = 0; i < SNR2_SLOTS; ++i)
            SNR2_WaveSetLocalVol(i, 100);
        Sleep(150);
    }
    // Records while play() runs and for ms milliseconds after it, whatever the audio path did.
    Frames record_as_played(int ms, const std::function<void()> &play)
    {
        Sleep(100);
        uint64_t m = capture.mark();
        play();
        Sleep(ms);
        Sleep(250);  // what was played reaches the recording a little later
        return capture.since(m);
    }
    // The same, with nothing in the way of the sound. A loaded machine's audio path may stall: it
    // plays digital silence meanwhile (or drops what it could not play in time) and goes on late
    // against the clock that the test's commands follow. Such a recording cannot be judged and is
    // taken again from a quiet start. Silence at the same point of every recording is a gap in
    // what was played, and fails; stalls at other points each time leave nothing to judge, and
    // skip the test. The test ends when this returns false.
    bool record(Frames *f, int ms, const std::function<void()> &play)
    {
        const int attempts = 5;
        std::vector<size_t> stalledAt;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            if (attempt > 0) {
                quiet();
                Sleep(300 * attempt);  // out of step with any disturbance that comes at a period
            }
            *f = record_as_played(ms, play);
            // only where the sound is clearly above the quantisation of a very low volume
            size_t first = onset(*f, 8), last = last_sound(*f, 8);
            if (first == SIZE_MAX)
                return true;
            std::vector<Span> stalls = silences(*f, 0, 2 * kMs, first, last);
            if (stalls.empty())
                return true;
            stalledAt.push_back((stalls[0].first - first) / kMs);
            printf("the audio path stalled for %u ms, from %u ms into the sound: recorded again\n",
                   (unsigned)(frames_in(stalls) / kMs), (unsigned)stalledAt.back());
        }
        give_up(stalledAt);
        return false;
    }
    static void give_up(const std::vector<size_t> &stalledAt)
    {
        std::string where;
        bool samePlace = true;
        for (size_t at : stalledAt) {
            where += " " + std::to_string(at);
            samePlace = samePlace && llabs((long long)at - (long long)stalledAt[0]) < 20;
        }
        if (samePlace)
            ADD_FAILURE() << "every recording falls silent from " << stalledAt[0] << " ms into the sound";
        else
            GTEST_SKIP() << "the audio path stalled in every recording, at" << where
                         << " ms into the sound: nothing to judge";
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
    Frames f;
    if (!record(&f, 700, [&] {
        SNR2_WavePlay(0, &w, 1);
        SNR2_WaveSetPan(0, -100);
    }))
        return;
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
        Frames f;
        if (!record(&f, 550, [&] {
            SNR2_WaveSetLocalVol(1, volumes[i]);
            SNR2_WavePlay(1, &w, 1);
        }))
            return;
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
    Frames f;
    if (!record(&f, 900, [&] {
        SNR2_WavePlay(2, &w, 1);
        SNR2_WaveSetPitch(2, 85);
    }))
        return;
    size_t start = onset(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    EXPECT_NEAR(440.0 * 0.85, frequency(f, 0, start + 100 * kMs, 600 * kMs), 3.0);
    SNR2_WaveFree(&w);
}

TEST_F(Sound, ACountOfThreePlaysThreeTimes)
{
    tagSNRWAVE w = {};
    load("thrice.wav", tone(0.3), &w);
    // The worker plays the wave again when it finds it stopped, so the plays have short gaps of
    // their own; the time the tone sounds is three times its length, with or without stalls (the
    // recording runs long enough for a stall of a second).
    Frames f = record_as_played(2300, [&] { SNR2_WavePlay(3, &w, 3); });
    size_t start = onset(f, kQuiet), end = last_sound(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    double sounding = (double)(end - start - frames_in(silences(f, kQuiet, 2 * kMs, start, end))) / CAPTURE_RATE;
    EXPECT_NEAR(0.9, sounding, 0.03);
    EXPECT_EQ(0, SNR2_WaveStatus(3));
    SNR2_WaveFree(&w);
}

TEST_F(Sound, StopLeavesSilence)
{
    tagSNRWAVE w = {};
    load("stop.wav", tone(0.5), &w);
    Frames f;
    if (!record(&f, 600, [&] {
        SNR2_WavePlay(4, &w, -1);
        Sleep(800);
        SNR2_WaveStop(4);
    }))
        return;
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
        Frames f;
        if (!record(&f, 550, [&] { SNR2_WavePlay(5, waves[i], 1); }))
            return;
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

TEST_F(Sound, AnEndlessStreamLongerThanItsRingPlaysOnWithoutGaps)
{
    // each second its own frequency: a late refill would replay an older second, a lost one skip it
    std::vector<std::pair<double, double>> steps = {{300, 1}, {400, 1}, {500, 1}, {600, 1}, {700, 0.5}};
    Tone format = tone(0);
    std::string path = asset("steps.wav", wave_file(format, tone_steps(format, steps)));
    Frames f;
    if (!record(&f, 6300, [&] { ASSERT_EQ(1, SNR2_WaveStreamPlay(6, wide(path).c_str(), -1)); }))
        return;
    size_t start = onset(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    ASSERT_GT(f.count(), start + 5900 * kMs);
    EXPECT_LT(longest_silence(f, kQuiet, start, 5900 * kMs), 3 * kMs);
    // every 100 ms window away from a step: quarters 1 to 4 refilled, then the wrap at 4.5 s
    for (int ms = 0; ms < 5900; ms += 100) {
        double data = ms % 4500 + 50;
        if (fmod(data, 1000.0) < 60 || fmod(data, 1000.0) > 940 || fabs(data - 4500) < 60)
            continue;
        double want = data < 4000 ? 300 + 100 * floor(data / 1000) : 700;
        EXPECT_NEAR(want, frequency(f, 0, start + (size_t)ms * kMs, 100 * kMs), 6.0) << ms << " ms into the stream";
    }
    EXPECT_LT(SNR2_WaveStatus(6), 0);
}

TEST_F(Sound, AFiniteStreamEndsInSilence)
{
    Tone t = tone(2.5, 500.0);
    std::string path = asset("finite.wav", wave_file(t, tone_data(t)));
    Frames f;
    if (!record(&f, 4500, [&] { ASSERT_EQ(1, SNR2_WaveStreamPlay(7, wide(path).c_str(), 1)); }))
        return;
    size_t start = onset(f, kQuiet), end = last_sound(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    EXPECT_NEAR(2.5, (double)(end - start) / CAPTURE_RATE, 0.1);
    // the ring does not replay its older quarters after the end
    EXPECT_GT(f.count(), end + 1500 * kMs);
    EXPECT_EQ(0, SNR2_WaveStatus(7));
}

TEST_F(Sound, AFadeRisesAlongTheVolumeTable)
{
    tagSNRWAVE w = {};
    load("fade.wav", tone(1.0), &w);
    Frames full;
    if (!record(&full, 500, [&] { SNR2_WavePlay(8, &w, 1); }))
        return;
    size_t fullStart = onset(full, kQuiet);
    ASSERT_NE(SIZE_MAX, fullStart);
    double reference = rms(full, 0, fullStart + 50 * kMs, 300 * kMs);
    quiet();  // the reference tone would still sound into the fade's recording
    Frames f;
    if (!record(&f, 3600, [&] {
        SNR2_WaveSetLocalVol(8, 0);
        SNR2_WavePlay(8, &w, -1);
        EXPECT_EQ(0, SNR2_WaveFade(8, 80, 3000));
    }))
        return;
    // the tone becomes audible near 5 percent: 187 ms into the fade
    size_t heard = onset(f, 8);
    ASSERT_NE(SIZE_MAX, heard);
    size_t origin = heard > 187 * kMs ? heard - 187 * kMs : 0;
    // (ms into the fade, expected level in dB from the volume table: 20 -> -34.95, 40 -> -19.90, 80 -> -4.85)
    const double expect[][2] = {{750, -34.95}, {1500, -19.90}, {2250, -11.09}, {3300, -4.85}};
    for (const auto &e : expect) {
        double level = rms(f, 0, origin + (size_t)(e[0] - 50) * kMs, 100 * kMs);
        EXPECT_NEAR(e[1], decibels(level / reference), 2.5) << e[0] << " ms";
    }
    EXPECT_EQ(80, SNR2_WaveGetLocalVol(8));
    SNR2_WaveFree(&w);
}

TEST_F(Sound, ACrossFadeHandsOneToneToAnother)
{
    tagSNRWAVE low = {}, high = {};
    load("cross_low.wav", tone(1.0, 440.0), &low);
    load("cross_high.wav", tone(1.0, 880.0), &high);
    Frames f;
    if (!record(&f, 1800, [&] {
        SNR2_WavePlay(9, &low, -1);
        Sleep(500);
        EXPECT_EQ(1, SNR2_WaveChangePlay(9, &high, -1, 1000));
    }))
        return;
    size_t start = onset(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    EXPECT_NEAR(440.0, frequency(f, 0, start + 100 * kMs, 300 * kMs), 3.0);
    size_t late = start + 1900 * kMs;
    ASSERT_GT(f.count(), late + 300 * kMs);
    EXPECT_NEAR(880.0, frequency(f, 0, late, 300 * kMs), 3.0);
    // the new tone arrives at the slot's full level
    EXPECT_NEAR(0.0, decibels(rms(f, 0, late, 300 * kMs) / rms(f, 0, start + 100 * kMs, 300 * kMs)), 1.5);
    EXPECT_EQ(0, SNR2_WaveGetLocalVol(9));
    SNR2_WaveFree(&low);
    SNR2_WaveFree(&high);
}

TEST_F(Sound, Software3DPansToTheSideAndFadesWithDistance)
{
    Tone t = tone(1.0);
    t.channels = 1;
    tagSNRWAVE w = {};
    load("mono.wav", t, &w);
    tagSNR3D listener = {0, 0, 0, 0}, heading = {0, 0, 0, 0};
    SNR2_3DListener(&listener, &heading, 1);
    double level[2];
    const float distances[2] = {1.0f, 5050.0f};  // inside the minimum, and halfway to the maximum
    for (int i = 0; i < 2; ++i) {
        tagSNR3D right = {distances[i], 0, 0, 0};
        Frames f;
        if (!record(&f, 800, [&] {
            ASSERT_EQ(1, SNR2_3DWavePlay(10, &w, 1, &right, SNR2_3D_IMMEDIATE));
            SNR2_Commit();
        }))
            return;
        size_t start = onset(f, 50);
        ASSERT_NE(SIZE_MAX, start);
        level[i] = rms(f, 1, start + 100 * kMs, 500 * kMs);
        EXPECT_LT(rms(f, 0, start + 100 * kMs, 500 * kMs), 2.0) << "left channel at distance " << distances[i];
    }
    EXPECT_EQ(100, SNR2_WaveGetPan(10));
    EXPECT_NEAR(-15.05, decibels(level[1] / level[0]), 1.5);  // half of the local volume
    SNR2_WaveFree(&w);
}

TEST_F(Sound, AnEffectPlayWithoutEffectsLoopsItsPrivateCopy)
{
    tagSNRWAVE w = {};
    load("fx.wav", tone(0.4, 550.0), &w);
    Frames f;
    if (!record(&f, 300, [&] {
        EXPECT_EQ(2, SNR2_WaveEffectPlay(11, &w, 2, 0));  // any count but 1 loops
        Sleep(1000);
        SNR2_WaveStop(11);
    }))
        return;
    size_t start = onset(f, kQuiet), end = last_sound(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    EXPECT_NEAR(1.0, (double)(end - start) / CAPTURE_RATE, 0.15);
    EXPECT_NEAR(550.0, frequency(f, 0, start + 100 * kMs, 600 * kMs), 3.0);
    SNR2_WaveFree(&w);
}

TEST_F(Sound, AChangeWithoutFadeTimeSwitchesAtOnce)
{
    tagSNRWAVE low = {}, high = {};
    load("switch_low.wav", tone(1.0, 440.0), &low);
    load("switch_high.wav", tone(1.0, 880.0), &high);
    Frames f;
    if (!record(&f, 900, [&] {
        SNR2_WavePlay(12, &low, -1);
        Sleep(500);
        EXPECT_EQ(1, SNR2_WaveChangePlay(12, &high, -1, 0));
    }))
        return;
    size_t start = onset(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    double before = rms(f, 0, start + 50 * kMs, 200 * kMs);
    EXPECT_NEAR(440.0, frequency(f, 0, start + 50 * kMs, 200 * kMs), 3.0);
    // The switch is found in the recording (a busy machine's audio path shifts it): the first 20 ms
    // window of the new tone is already at the slot's level, where a fade would still be low.
    const size_t window = 20 * kMs;
    size_t at = start + 250 * kMs;
    while (at + 400 * kMs < f.count() && fabs(frequency(f, 0, at, window) - 880.0) > 60.0)
        at += window;
    ASSERT_LT(at + 400 * kMs, f.count()) << "the new tone never came";
    EXPECT_NEAR(0.0, decibels(rms(f, 0, at, window) / before), 1.5);
    // After it the new tone alone (both would be 3 dB louder) at the slot's level.
    EXPECT_NEAR(880.0, frequency(f, 0, at + window, 300 * kMs), 3.0);
    EXPECT_NEAR(0.0, decibels(rms(f, 0, at + window, 300 * kMs) / before), 1.0);
    SNR2_WaveFree(&low);
    SNR2_WaveFree(&high);
}

// A slot keeps the address of the wave buffer it duplicated; the next buffer made may well get that
// address once the wave's buffer is released, and the slot must not take it for the same samples.
TEST_F(Sound, AFreedWaveIsNotPlayedInPlaceOfTheNextOne)
{
    tagSNRWAVE w = {};
    load("short.wav", tone(0.2, 440.0, 22050), &w);
    SNR2_WavePlay(13, &w, 1);
    Sleep(500);
    const void *freed = w.buffer;
    SNR2_WaveFree(&w);
    load("long.wav", tone(3.0, 660.0), &w);
    Frames f;
    if (!record(&f, 3200, [&] { SNR2_WavePlay(13, &w, 1); }))
        return;
    size_t start = onset(f, kQuiet), end = last_sound(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    const char *where = w.buffer == freed ? "at the freed wave's address" : "at a new address";
    EXPECT_NEAR(3.0, (double)(end - start) / CAPTURE_RATE, 0.15) << where;
    EXPECT_NEAR(660.0, frequency(f, 0, start + 100 * kMs, 500 * kMs), 3.0) << where;
    SNR2_WaveFree(&w);
}

TEST_F(Sound, AWaveJoinedInPlaceIsNotPlayedInPlaceOfTheNextOne)
{
    tagSNRWAVE first = {}, second = {}, next = {};
    load("join_first.wav", tone(0.2, 440.0), &first);
    load("join_second.wav", tone(0.2, 440.0), &second);
    SNR2_WavePlay(14, &first, 1);
    Sleep(500);
    const void *replaced = first.buffer;
    ASSERT_EQ(1, SNR2_WaveAddBuffer(&first, &first, &second));  // first's buffer is replaced
    load("join_next.wav", tone(2.0, 550.0), &next);
    Frames f;
    if (!record(&f, 2100, [&] { SNR2_WavePlay(14, &next, 1); }))
        return;
    size_t start = onset(f, kQuiet), end = last_sound(f, kQuiet);
    ASSERT_NE(SIZE_MAX, start);
    const char *where = next.buffer == replaced ? "at the replaced buffer's address" : "at a new address";
    EXPECT_NEAR(2.0, (double)(end - start) / CAPTURE_RATE, 0.15) << where;
    EXPECT_NEAR(550.0, frequency(f, 0, start + 100 * kMs, 500 * kMs), 3.0) << where;
    SNR2_WaveFree(&first);
    SNR2_WaveFree(&second);
    SNR2_WaveFree(&next);
}
