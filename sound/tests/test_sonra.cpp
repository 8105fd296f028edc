// sonra under Wine: start and end, the message table, wave reading from files and archives (also
// malformed ones), joins, slot plays, counts, levels, pitch, pan and fades on a real device.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "assets.h"
#include "harness.h"
#include "messages.h"
#include "sonra.h"

using namespace snd_test;

namespace {

const char *kDir = "sonra_assets";

std::wstring wide(const std::string &s) { return std::wstring(s.begin(), s.end()); }

std::string asset(const std::string &name, const Bytes &bytes)
{
    CreateDirectoryA(kDir, nullptr);
    std::string path = std::string(kDir) + "\\" + name;
    EXPECT_TRUE(write_file(path, bytes));
    return path;
}

Tone tone(double seconds, uint32_t rate = 44100, uint16_t channels = 2, double hz = 440.0)
{
    Tone t;
    t.seconds = seconds;
    t.rate = rate;
    t.channels = channels;
    t.frequency = hz;
    return t;
}

std::string tone_file(const std::string &name, const Tone &t) { return asset(name, wave_file(t, tone_data(t))); }

// Polls cond every 10 ms for up to ms milliseconds; whether it came true.
template <class Cond> bool wait_until(Cond cond, int ms)
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (cond())
            return true;
        Sleep(10);
    }
    return cond();
}

double now_ms()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart * 1000.0 / (double)f.QuadPart;
}

Bytes buffer_bytes(IDirectSoundBuffer *b)
{
    void *p1, *p2;
    DWORD n1, n2;
    Bytes out;
    if (SUCCEEDED(b->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER))) {
        out.assign((uint8_t *)p1, (uint8_t *)p1 + n1);
        b->Unlock(p1, n1, p2, n2);
    }
    return out;
}

class Sonra : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(1, SNR2_Start(nullptr, 0)); }
    static void TearDownTestSuite() { SNR2_End(); }
    void TearDown() override
    {
        SNR2_WaveStop(-1);
        for (int i = 0; i < SNR2_SLOTS; ++i)
            SNR2_WaveSetLocalVol(i, 100);
    }
    int read(const std::string &path, tagSNRWAVE *w) { return SNR2_WaveRead(wide(path).c_str(), w); }
    MessageWatcher boxes;
};

}  // namespace

TEST(SonraUnstarted, CapsAndCallsAreSafeNoOps)
{
    tagSNRCAPS caps = {7, 8, 9};
    EXPECT_EQ(0, SNR2_GetCaps(&caps));
    EXPECT_EQ(7, caps.hardware3D);
    tagSNRWAVE w = {};
    EXPECT_EQ(-1, SNR2_WavePlay(0, &w, 1));
    SNR2_WaveStop(-1);
    EXPECT_EQ(0, SNR2_WaveStatus(0));
}

TEST(SonraUnstarted, MessageTableHoldsTheExactTexts)
{
    HMODULE dll = GetModuleHandleW(L"sonra.dll");
    ASSERT_NE(nullptr, dll);
    for (const auto &m : kSonraMessages) {
        wchar_t text[512] = L"";
        ASSERT_GT(LoadStringW(dll, m.id, text, 512), 0) << m.id;
        EXPECT_STREQ(m.text, text) << m.id;
    }
}

TEST(SonraUnstarted, RestartsAfterEnd)
{
    ASSERT_EQ(1, SNR2_Start(nullptr, SNR2_START_3D_SOFTWARE));
    tagSNRCAPS caps = {};
    EXPECT_EQ(1, SNR2_GetCaps(&caps));
    EXPECT_TRUE(caps.hardware3D == 1 || caps.hardware3D == 2);
    EXPECT_GT(caps.maxRate, 0);
    SNR2_End();
    EXPECT_EQ(0, SNR2_GetCaps(&caps));
    SNR2_End();
    ASSERT_EQ(1, SNR2_Start(nullptr, 0));
    SNR2_End();
}

TEST_F(Sonra, ReadsLooseFilesIntoRecords)
{
    Tone t = tone(0.5, 22050, 1);
    std::string path = tone_file("mono.wav", t);
    tagSNRWAVE w = {};
    ASSERT_EQ(1, read(path, &w));
    EXPECT_EQ(1, w.formatTag);
    EXPECT_EQ(1, w.channels);
    EXPECT_EQ(22050u, w.samplesPerSec);
    EXPECT_EQ(44100u, w.avgBytesPerSec);
    EXPECT_EQ(2, w.blockAlign);
    EXPECT_EQ(16, w.bitsPerSample);
    EXPECT_EQ(tone_data(t).size(), w.dataSize);
    EXPECT_EQ(wide(path), w.path);
    ASSERT_NE(nullptr, w.buffer);
    EXPECT_EQ(tone_data(t), buffer_bytes(w.buffer));
    SNR2_WaveFree(&w);
    EXPECT_EQ(nullptr, w.buffer);
    EXPECT_EQ(0u, w.dataSize);
    EXPECT_EQ(0, w.path[0]);
}

TEST_F(Sonra, ArchiveMembersReadTheSameSamplesAndHideLooseFiles)
{
    Tone t = tone(0.3, 44100, 2, 660.0);
    Bytes wav = wave_file(t, tone_data(t));
    CreateDirectoryA("sonra_assets\\ship", nullptr);
    asset("ship\\gearup.wav", wav);
    asset("ship\\loose.wav", wav);
    asset("ship.vfs", vfs_archive({{u"other.wav", Bytes(100, 1)}, {u"GearUp.WAV", wav}}));

    tagSNRWAVE a = {}, b = {};
    ASSERT_EQ(1, read("sonra_assets\\ship\\gearup.wav", &a));
    ASSERT_NE(nullptr, a.buffer);
    EXPECT_EQ(tone_data(t), buffer_bytes(a.buffer));
    EXPECT_TRUE(boxes.take().empty());

    // the archive exists, so the loose file beside it is not looked at
    EXPECT_EQ(0, read("sonra_assets\\ship\\loose.wav", &b));
    std::vector<std::wstring> shown = boxes.take();
    ASSERT_EQ(1u, shown.size());
    std::wstring expected = kSonraMessages[0].text;
    expected.replace(expected.find(L"%s"), 2, L"sonra_assets\\ship\\loose.wav");
    EXPECT_EQ(expected, shown[0]);
    EXPECT_EQ(nullptr, b.buffer);
    SNR2_WaveFree(&a);
}

TEST_F(Sonra, PathWithoutFolderLooksForItsOwnArchiveFirst)
{
    Tone t = tone(0.2);
    Bytes wav = wave_file(t, tone_data(t));
    write_file("sonra_plain.wav", wav);
    tagSNRWAVE w = {};
    EXPECT_EQ(1, SNR2_WaveRead(L"sonra_plain.wav", &w));
    EXPECT_NE(nullptr, w.buffer);
    SNR2_WaveFree(&w);
    write_file("sonra_plain.wav.vfs", vfs_archive({{u"sonra_plain.wav", wave_file(tone(0.1), tone_data(tone(0.1)))}}));
    EXPECT_EQ(1, SNR2_WaveRead(L"sonra_plain.wav", &w));
    EXPECT_EQ(tone_data(tone(0.1)).size(), w.dataSize);
    SNR2_WaveFree(&w);
    DeleteFileA("sonra_plain.wav.vfs");
    DeleteFileA("sonra_plain.wav");
}

TEST_F(Sonra, MalformedWavesReadAsOpenedWithoutSound)
{
    Tone t = tone(0.2);
    Bytes data = tone_data(t);
    WaveLayout list, shortFormat, longFormat, beyond, noChannels, noAlign;
    list.listBeforeData = true;
    shortFormat.formatBytes = 14;
    longFormat.formatBytes = 40;
    beyond.dataSizeField = 0x7FFFFFF0;
    noChannels.channelsOverride = 0;
    noAlign.blockAlignOverride = 0;
    struct Case {
        const char *name;
        Bytes bytes;
        bool sound;
        uint32_t size;
    } cases[] = {
        {"list.wav", wave_file(t, data, list), false, 0},
        {"short_fmt.wav", wave_file(t, data, shortFormat), false, 0},
        {"long_fmt.wav", wave_file(t, data, longFormat), true, (uint32_t)data.size()},
        {"beyond.wav", wave_file(t, data, beyond), true, (uint32_t)data.size()},
        {"no_channels.wav", wave_file(t, data, noChannels), false, 0},
        {"no_align.wav", wave_file(t, data, noAlign), false, 0},
        {"not_riff.wav", Bytes(64, 'x'), false, 0},
        {"empty.wav", Bytes(), false, 0},
    };
    for (Case &c : cases) {
        tagSNRWAVE w = {};
        EXPECT_EQ(1, read(asset(c.name, c.bytes), &w)) << c.name;
        EXPECT_EQ(c.sound, w.buffer != nullptr) << c.name;
        EXPECT_EQ(c.size, w.dataSize) << c.name;
        SNR2_WaveFree(&w);
    }
    EXPECT_TRUE(boxes.take().empty());
}

TEST_F(Sonra, BrokenArchivesAndLongPathsAreRefused)
{
    Tone t = tone(0.1);
    Bytes wav = wave_file(t, tone_data(t));
    Bytes huge = vfs_archive({{u"a.wav", wav}});
    huge[4] = huge[5] = 0xFF;                      // 65535 entries
    huge[8] = huge[9] = huge[10] = huge[11] = 0xFF;  // a directory of 4 GiB
    asset("huge.vfs", huge);
    Bytes outside = vfs_archive({{u"a.wav", wav}});
    outside[16 + 32 + 3] = 0x70;                   // member offset far beyond the archive
    asset("outside.vfs", outside);
    Bytes unterminated = vfs_archive({{u"abcdefghijklmnop", wav}});
    asset("unterm.vfs", unterminated);

    tagSNRWAVE w = {};
    EXPECT_EQ(1, read("sonra_assets\\huge\\a.wav", &w));  // only the entries that are there count
    SNR2_WaveFree(&w);
    EXPECT_EQ(0, read("sonra_assets\\outside\\a.wav", &w));
    EXPECT_EQ(1, read("sonra_assets\\unterm\\abcdefghijklmnop", &w));
    SNR2_WaveFree(&w);
    EXPECT_EQ(0, read("sonra_assets\\unterm\\abcdefghijklmnopq", &w));
    std::wstring longPath(300, L'a');
    EXPECT_EQ(0, SNR2_WaveRead(longPath.c_str(), &w));
    EXPECT_EQ(3u, boxes.take().size());
}

TEST_F(Sonra, ClearFreesWavesAndZeroesGarbageOnly)
{
    tagSNRWAVE w = {};
    ASSERT_EQ(1, read(tone_file("clear.wav", tone(0.1)), &w));
    SNR2_Clear(&w);
    EXPECT_EQ(nullptr, w.buffer);
    tagSNRWAVE garbage;
    memset(&garbage, 0x55, sizeof garbage);
    garbage.buffer = nullptr;
    SNR2_Clear(&garbage);
    EXPECT_EQ(0, garbage.channels);
    EXPECT_EQ(0u, garbage.dataSize);
    tagSNRWAVE odd = {};
    odd.channels = 5;
    odd.dataSize = 77;
    SNR2_Clear(&odd);
    EXPECT_EQ(77u, odd.dataSize);
}

TEST_F(Sonra, JoinsWavesIntoANewRecordOrTheFirst)
{
    Tone ta = tone(0.2, 44100, 2, 440.0), tb = tone(0.3, 44100, 2, 880.0);
    tagSNRWAVE a = {}, b = {}, joined = {}, other = {};
    ASSERT_EQ(1, read(tone_file("join_a.wav", ta), &a));
    ASSERT_EQ(1, read(tone_file("join_b.wav", tb), &b));
    ASSERT_EQ(1, SNR2_WaveAddBuffer(&joined, &a, &b));
    Bytes expected = tone_data(ta), second = tone_data(tb);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(expected.size(), joined.dataSize);
    EXPECT_EQ(expected, buffer_bytes(joined.buffer));
    EXPECT_EQ(tone_data(ta), buffer_bytes(a.buffer));
    EXPECT_EQ(0, SNR2_WaveAddBuffer(&b, &a, &b));  // the second wave cannot be the destination
    EXPECT_EQ(tone_data(tb), buffer_bytes(b.buffer));
    ASSERT_EQ(1, SNR2_WaveAddBuffer(&a, &a, &b));
    EXPECT_EQ(expected, buffer_bytes(a.buffer));
    EXPECT_TRUE(boxes.take().empty());

    ASSERT_EQ(1, read(tone_file("join_c.wav", tone(0.2, 22050)), &other));
    EXPECT_EQ(0, SNR2_WaveAddBuffer(&joined, &b, &other));
    tagSNRWAVE empty = {};
    EXPECT_EQ(0, SNR2_WaveAddBuffer(&joined, &b, &empty));
    std::vector<std::wstring> shown = boxes.take();
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(kSonraMessages[5].text, shown[0]);  // 105: sample rates differ
    EXPECT_EQ(kSonraMessages[2].text, shown[1]);  // 102: nothing to join
    for (tagSNRWAVE *w : {&a, &b, &joined, &other})
        SNR2_WaveFree(w);
}

TEST_F(Sonra, CountsRunDownAndStopEndsEverySlot)
{
    tagSNRWAVE w = {};
    ASSERT_EQ(1, read(tone_file("count.wav", tone(0.15)), &w));
    EXPECT_EQ(-1, SNR2_WavePlay(0, &w, 0));
    EXPECT_EQ(-1, SNR2_WavePlay(128, &w, 1));
    tagSNRWAVE none = {};
    EXPECT_EQ(-1, SNR2_WavePlay(0, &none, 1));

    EXPECT_EQ(3, SNR2_WavePlay(1, &w, 3));
    EXPECT_EQ(-1, SNR2_WavePlay(2, &w, -1));
    EXPECT_EQ(1, SNR2_WavePlay(3, &w, 1));
    EXPECT_EQ(3, SNR2_WaveStatus(1));
    EXPECT_TRUE(wait_until([] { return SNR2_WaveStatus(3) == 0; }, 3000));
    // three plays of 150 ms count down one by one
    EXPECT_TRUE(wait_until([] { return SNR2_WaveStatus(1) == 2; }, 3000));
    EXPECT_TRUE(wait_until([] { return SNR2_WaveStatus(1) == 1; }, 3000));
    EXPECT_TRUE(wait_until([] { return SNR2_WaveStatus(1) == 0; }, 3000));
    EXPECT_EQ(-1, SNR2_WaveStatus(2));
    SNR2_WaveStop(128);
    EXPECT_EQ(-1, SNR2_WaveStatus(2));
    SNR2_WaveStop(-1);
    EXPECT_EQ(0, SNR2_WaveStatus(2));
    // a replay of the same wave reuses the slot's buffer
    EXPECT_EQ(1, SNR2_WavePlay(1, &w, 1));
    SNR2_WaveStop(-1);
    SNR2_WaveFree(&w);
}

TEST_F(Sonra, PauseHoldsOnlyACountOfOne)
{
    tagSNRWAVE w = {};
    ASSERT_EQ(1, read(tone_file("pause.wav", tone(1.0)), &w));
    SNR2_WavePlay(4, &w, 1);
    SNR2_WavePlay(5, &w, -1);
    SNR2_WavePause(-1, 1);
    EXPECT_TRUE(wait_until([] { return SNR2_WaveStatus(4) == 0; }, 1000));
    // the endless slot is played on by the worker, its counter lowered once
    EXPECT_TRUE(wait_until([] { return SNR2_WaveStatus(5) == -2; }, 1000));
    SNR2_WaveFree(&w);
}

TEST_F(Sonra, LevelsClampAndPitchFollowsTheWaveRate)
{
    EXPECT_EQ(1, SNR2_WaveSetLocalVol(6, 150));
    EXPECT_EQ(100, SNR2_WaveGetLocalVol(6));
    SNR2_WaveSetLocalVol(6, -5);
    EXPECT_EQ(0, SNR2_WaveGetLocalVol(6));
    EXPECT_EQ(0, SNR2_WaveSetLocalVol(128, 50));
    SNR2_SetMasterVol(37);
    EXPECT_EQ(37, SNR2_GetMasterVol());
    SNR2_SetMasterVol(100);
    EXPECT_EQ(100, SNR2_GetMasterVol());
    SNR2_WaveSetMasterVol(120);
    EXPECT_EQ(100, SNR2_WaveGetMasterVol());

    tagSNRWAVE w = {};
    ASSERT_EQ(1, read(tone_file("pitch.wav", tone(0.5, 22050)), &w));
    SNR2_WaveSetLocalVol(6, 0);
    SNR2_WavePlay(6, &w, -1);
    int first = SNR2_WaveSetPitch(6, 85);
    EXPECT_EQ(85, SNR2_WaveSetPitch(6, 85));
    EXPECT_TRUE(first == 0 || first == 85);
    int percent = 0;
    EXPECT_EQ(18742, SNR2_WaveGetPitch(6, &percent));
    EXPECT_EQ(84, percent);  // 18742 * 100 / 22050, truncated
    EXPECT_EQ(18742, SNR2_WaveSetPitchDirect(6, 11025));
    EXPECT_EQ(11025, SNR2_WaveGetPitch(6, &percent));
    EXPECT_EQ(50, percent);
    SNR2_WaveSetPan(6, -150);
    EXPECT_EQ(-100, SNR2_WaveGetPan(6));
    SNR2_WaveSetPan(6, 37);
    EXPECT_EQ(37, SNR2_WaveGetPan(6));
    EXPECT_EQ(0, SNR2_WaveGetPitch(128, &percent));
    EXPECT_EQ(0, percent);
    SNR2_WaveStop(6);
    SNR2_WaveFree(&w);
}

TEST_F(Sonra, FadesMoveTheLocalVolumeOnTime)
{
    SNR2_WaveSetLocalVol(7, 0);
    double start = now_ms();
    EXPECT_EQ(0, SNR2_WaveFade(7, 80, 3000));
    EXPECT_EQ(-1, SNR2_WaveFade(128, 80, 3000));
    Sleep(1500);
    // the worker steps every 33 ms or so: allow two steps either side of the elapsed time
    int mid = SNR2_WaveGetLocalVol(7);
    double elapsed = now_ms() - start;
    EXPECT_NEAR(80.0 * elapsed / 3000.0, mid, 3.0) << elapsed << " ms";
    EXPECT_TRUE(wait_until([] { return SNR2_WaveGetLocalVol(7) == 80; }, 3000));
    EXPECT_GE(now_ms() - start, 2990.0);
    SNR2_WaveFade(7, 20, 0);
    EXPECT_TRUE(wait_until([] { return SNR2_WaveGetLocalVol(7) == 20; }, 1000));

    SNR2_WaveMasterFade(50, 300);
    SNR2_MasterFade(60, 300);
    EXPECT_TRUE(wait_until([] { return SNR2_WaveGetMasterVol() == 50 && SNR2_GetMasterVol() == 60; }, 2000));
    SNR2_WaveSetMasterVol(100);
    SNR2_SetMasterVol(100);
}

TEST_F(Sonra, EffectPlaysAndCrossFadesOnAnEmptySlot)
{
    tagSNRWAVE w = {};
    ASSERT_EQ(1, read(tone_file("fx.wav", tone(0.5)), &w));
    SNR2_WaveSetLocalVol(8, 0);
    EXPECT_EQ(1, SNR2_WaveEffectPlay(8, &w, 1, 0));
    EXPECT_EQ(-1, SNR2_WaveEffectPlay(8, &w, 0, 0));
    SNR2_WaveSetLocalVol(9, 60);
    EXPECT_EQ(1, SNR2_WaveChangePlay(9, &w, 1, 200));
    EXPECT_EQ(1, SNR2_WaveChangePlay(200, &w, 1, 200));
    EXPECT_EQ(-1, SNR2_WaveChangePlay(9, &w, 0, 200));
    EXPECT_TRUE(wait_until([] { return SNR2_WaveGetLocalVol(9) == 0; }, 2000));
    SNR2_WaveFree(&w);
}

TEST_F(Sonra, StreamsStartFromFilesAndReportMissingOnes)
{
    Tone t = tone(1.5);
    std::string path = tone_file("stream.wav", t);
    SNR2_WaveSetLocalVol(10, 0);
    EXPECT_EQ(1, SNR2_WaveStreamPlay(10, wide(path).c_str(), -1));
    EXPECT_LT(SNR2_WaveStatus(10), 0);  // endless: lowered at every wrap, never 0
    EXPECT_EQ(0, SNR2_WaveStreamPlay(10, wide(path).c_str(), 0));
    EXPECT_EQ(0, SNR2_WaveStreamPlay(10, L"sonra_assets\\missing.wav", 1));
    std::vector<std::wstring> shown = boxes.take();
    ASSERT_EQ(1u, shown.size());
    EXPECT_NE(std::wstring::npos, shown[0].find(L"(Stream)"));
    SNR2_WaveStop(10);
    EXPECT_EQ(0, SNR2_WaveStatus(10));
}

TEST(Sonra3D, HardwareRequestFallsBackToSoftwareWithoutHardwareBuffers)
{
    ASSERT_EQ(1, SNR2_Start(nullptr, SNR2_START_3D_HARDWARE));
    tagSNRCAPS caps = {};
    SNR2_GetCaps(&caps);
    tagSNR3D p = {1, 2, 3, 0};
    SNR2_3DListener(&p, nullptr, 0);
    tagSNR3D got = {};
    EXPECT_EQ(1, SNR2_3DListenerGetPosition(&got));
    EXPECT_FLOAT_EQ(2.0f, got.y);
    // the listener factors exist only on hardware listeners
    EXPECT_EQ(caps.hardware3D == 1 ? 1 : 0, SNR2_3DSetting(1, 20, 20, 1));
    SNR2_End();

    ASSERT_EQ(1, SNR2_Start(nullptr, 0));  // no 3D: the listener calls do nothing
    EXPECT_EQ(0, SNR2_3DListenerGetPosition(&got));
    EXPECT_EQ(0, SNR2_3DListenerOrientation(&got, nullptr));
    SNR2_End();
}

TEST(Sonra3D, SoftwareListenerPansAndScalesSlots)
{
    ASSERT_EQ(1, SNR2_Start(nullptr, SNR2_START_3D_SOFTWARE));
    Tone t = tone(1.0, 44100, 1);
    CreateDirectoryA(kDir, nullptr);
    write_file("sonra_assets\\mono3d.wav", wave_file(t, tone_data(t)));
    tagSNRWAVE w = {};
    ASSERT_EQ(1, SNR2_WaveRead(L"sonra_assets\\mono3d.wav", &w));
    SNR2_WaveSetLocalVol(11, 0);
    tagSNR3D origin = {0, 0, 0, 0}, angles = {0, 90, 0, 0}, front, top;
    SNR2_3DListener(&origin, &angles, 0);
    ASSERT_EQ(1, SNR2_3DListenerOrientation(&front, &top));
    EXPECT_NEAR(1.0f, front.x, 1e-6);
    EXPECT_NEAR(0.0f, front.z, 1e-6);
    EXPECT_NEAR(1.0f, top.y, 1e-6);

    angles.y = 0;
    SNR2_3DListener(&origin, &angles, 0);
    tagSNR3D at = {1, 0, 1, 0};
    EXPECT_EQ(1, SNR2_3DWavePlay(11, &w, -1, &at, 0));
    EXPECT_EQ(0, SNR2_3DWavePosition(11, &at, 1));  // no 3D buffer in software 3D
    SNR2_Commit();
    EXPECT_EQ(29, SNR2_WaveGetPan(11));
    const struct {
        tagSNR3D at;
        int pan;
    } cases[] = {{{1, 0, 0, 0}, 100}, {{0, 0, -1, 0}, 0}, {{-1, 0, 0, 0}, -100}};
    for (const auto &c : cases) {
        tagSNR3D p = c.at;
        SNR2_3DWavePosition(11, &p, 1);
        SNR2_Commit();
        EXPECT_EQ(c.pan, SNR2_WaveGetPan(11)) << c.at.x << "," << c.at.z;
    }
    // looking at a point to the right turns the listener: the sound at the right is now ahead
    tagSNR3D right = {1, 0, 0, 0}, look = {10, 0, 0, 0};
    SNR2_3DWavePosition(11, &right, 1);
    SNR2_3DListenerDirect(&origin, &look, nullptr, 1);
    EXPECT_EQ(0, SNR2_WaveGetPan(11));

    EXPECT_EQ(0, SNR2_3DWaveDistance(11, -1, -1, 1));   // kept, though there is no 3D buffer
    EXPECT_EQ(0, SNR2_3DWaveDistance(11, 0, 0, 1));     // leaves both
    SNR2_WaveStop(11);
    SNR2_WaveFree(&w);
    SNR2_End();
}

TEST(Sonra3D, VelocityFollowsTheHeading)
{
    tagSNR3D out, angles = {0, 90, 0, 0};
    SNR2_CalcVelocity(&out, &angles, 2.5f, 4);
    EXPECT_NEAR(10.0f, out.x, 1e-5);
    EXPECT_NEAR(0.0f, out.z, 1e-5);
    EXPECT_EQ(0u, out.spare);
    angles = {-90, 0, 0, 0};
    SNR2_CalcVelocity(&out, &angles, 1.0f, 3);
    EXPECT_NEAR(3.0f, out.y, 1e-5);
}
