// Native tests of the RIFF/WAVE and ".vfs" readers and the sound-file path rules.
#include <gtest/gtest.h>

#include "../fuzz/memory_source.h"
#include "assets.h"
#include "snd_riff.h"

using namespace snd;
using namespace snd_test;

namespace {

WaveParse parse(const Bytes &b, WaveHeader *h, size_t start = 0, size_t member = 0)
{
    MemorySource m = {b.data(), b.size(), start};
    ByteSource src = m.source();
    return parse_wave_header(&src, start, (uint32_t)(member ? member : b.size() - start), h);
}

Tone tone(double seconds)
{
    Tone t;
    t.seconds = seconds;
    return t;
}

}  // namespace

TEST(Wave, ReadsFormatAndBoundsTheData)
{
    Tone t = tone(0.1);
    Bytes data = tone_data(t);
    WaveHeader h;
    ASSERT_EQ(WAVE_OK, parse(wave_file(t, data), &h));
    EXPECT_EQ(2, h.channels);
    EXPECT_EQ(44100u, h.rate);
    EXPECT_EQ(4, h.blockAlign);
    EXPECT_EQ(44u, h.dataOffset);
    EXPECT_EQ(data.size(), h.dataSize);

    WaveLayout longer;
    longer.formatBytes = 18;  // with the extra-size field
    ASSERT_EQ(WAVE_OK, parse(wave_file(t, data, longer), &h));
    EXPECT_EQ(46u, h.dataOffset);

    WaveLayout beyond;
    beyond.dataSizeField = 0xFFFFFFFF;
    Bytes cut = wave_file(t, data, beyond);
    cut.resize(cut.size() - 3);  // ends inside a sample frame
    ASSERT_EQ(WAVE_OK, parse(cut, &h));
    EXPECT_EQ(data.size() - 4, h.dataSize);
}

TEST(Wave, RefusesWhatItCannotPlay)
{
    Tone t = tone(0.05);
    Bytes data = tone_data(t);
    WaveHeader h;
    WaveLayout list, shortFormat, noChannels, noAlign;
    list.listBeforeData = true;
    shortFormat.formatBytes = 12;
    noChannels.channelsOverride = 0;
    noAlign.blockAlignOverride = 0;
    EXPECT_EQ(WAVE_NO_DATA, parse(wave_file(t, data, list), &h));
    EXPECT_EQ(2, h.channels);  // the format is known even without data
    EXPECT_EQ(WAVE_BAD_FORMAT, parse(wave_file(t, data, shortFormat), &h));
    Bytes hugeFormat = wave_file(t, data);
    hugeFormat[19] = 0x7F;  // a format chunk of 2 GiB in a small file
    EXPECT_EQ(WAVE_BAD_FORMAT, parse(hugeFormat, &h));
    EXPECT_EQ(WAVE_BAD_FORMAT, parse(wave_file(t, data, noChannels), &h));
    EXPECT_EQ(WAVE_BAD_FORMAT, parse(wave_file(t, data, noAlign), &h));
    EXPECT_EQ(WAVE_NOT_RIFF, parse(Bytes{'R', 'I', 'F'}, &h));
    Bytes notWave = wave_file(t, data);
    notWave[8] = 'X';
    EXPECT_EQ(WAVE_NOT_WAVE, parse(notWave, &h));
    // the member ends before its data chunk header although the file goes on
    EXPECT_EQ(WAVE_NO_DATA, parse(wave_file(t, data), &h, 0, 40));
}

TEST(Wave, ReadsAMemberInsideAnArchive)
{
    Tone t = tone(0.05);
    Bytes data = tone_data(t), wav = wave_file(t, data);
    Bytes archive = vfs_archive({{u"x.wav", Bytes(10, 7)}, {u"y.wav", wav}});
    size_t start = 16 + 2 * 48 + 10;
    WaveHeader h;
    ASSERT_EQ(WAVE_OK, parse(archive, &h, start, wav.size()));
    EXPECT_EQ(data.size(), h.dataSize);
    EXPECT_EQ(0, memcmp(archive.data() + start + h.dataOffset, data.data(), data.size()));
}

TEST(Vfs, FindsMembersIgnoringCaseWithinBounds)
{
    Bytes archive = vfs_archive({{u"other.wav", Bytes(5)}, {u"GearUp.WAV", Bytes(100, 1)}});
    VfsHeader h = parse_vfs_header(archive.data(), archive.size());
    EXPECT_EQ(2, h.count);
    EXPECT_EQ(96u, h.directoryBytes);
    VfsEntry e;
    EXPECT_EQ(1, find_vfs_entry(archive.data() + 16, h.directoryBytes, &h, u"gearup.wav", archive.size(), &e));
    EXPECT_EQ(16u + 96 + 5, e.offset);
    EXPECT_EQ(100u, e.size);
    EXPECT_EQ(VFS_NOT_FOUND, find_vfs_entry(archive.data() + 16, h.directoryBytes, &h, u"gear.wav", archive.size(), &e));

    // a member running past the end is cut at the end; one starting beyond it is refused
    EXPECT_EQ(1, find_vfs_entry(archive.data() + 16, h.directoryBytes, &h, u"gearup.wav", archive.size() - 40, &e));
    EXPECT_EQ(60u, e.size);
    EXPECT_EQ(VFS_OUTSIDE, find_vfs_entry(archive.data() + 16, h.directoryBytes, &h, u"gearup.wav", 100, &e));
}

TEST(Vfs, BoundsTheDirectoryAndTheRecords)
{
    Bytes archive = vfs_archive({{u"abcdefghijklmnop", Bytes(4)}});
    archive[4] = archive[5] = 0xFF;
    archive[6] = 200;  // record length above the entry size
    archive[8] = archive[9] = archive[10] = archive[11] = 0xFF;
    VfsHeader h = parse_vfs_header(archive.data(), archive.size());
    EXPECT_EQ(40, h.recordLength);
    EXPECT_EQ(archive.size() - 16, h.directoryBytes);
    VfsEntry e;
    // an unterminated name is its 16 units
    EXPECT_EQ(0, find_vfs_entry(archive.data() + 16, h.directoryBytes, &h, u"ABCDEFGHIJKLMNOP", archive.size(), &e));
    EXPECT_EQ(VFS_NOT_FOUND,
              find_vfs_entry(archive.data() + 16, h.directoryBytes, &h, u"abcdefghijklmnopq", archive.size(), &e));
    Bytes shortRecords = vfs_archive({{u"a.wav", Bytes(4)}}, 6);  // three units of name, no offsets
    h = parse_vfs_header(shortRecords.data(), shortRecords.size());
    EXPECT_EQ(VFS_NOT_FOUND, find_vfs_entry(shortRecords.data() + 16, h.directoryBytes, &h, u"a.wav", 1000, &e));
    EXPECT_EQ(0, find_vfs_entry(shortRecords.data() + 16, h.directoryBytes, &h, u"a.w", 1000, &e));
    EXPECT_EQ(0u, e.offset);
}

TEST(Paths, ArchiveAndBaseNames)
{
    char16_t out[ARCHIVE_PATH_UNITS];
    ASSERT_TRUE(archive_path(u"sound\\ship\\gearup.wav", out));
    EXPECT_EQ(std::u16string(u"sound\\ship.vfs"), std::u16string(out));
    ASSERT_TRUE(archive_path(u"x.wav", out));
    EXPECT_EQ(std::u16string(u"x.wav.vfs"), std::u16string(out));
    ASSERT_TRUE(archive_path(u"\\x.wav", out));  // a backslash in first place does not count
    EXPECT_EQ(std::u16string(u"\\x.wav.vfs"), std::u16string(out));
    EXPECT_EQ(std::u16string(u"gearup.wav"), std::u16string(base_name(u"sound\\ship\\gearup.wav")));
    EXPECT_EQ(std::u16string(u"x.wav"), std::u16string(base_name(u"x.wav")));
    std::u16string longest(255, u'a'), tooLong(256, u'a');
    EXPECT_TRUE(archive_path(longest.c_str(), out));
    EXPECT_EQ(259u, std::u16string(out).size());
    EXPECT_FALSE(archive_path(tooLong.c_str(), out));
    EXPECT_TRUE(names_equal(u"\u00e9T\u00e9.wav", u"\u00c9t\u00c9.WAV"));
    EXPECT_FALSE(names_equal(u"a.wav", u"a.wa"));
}
