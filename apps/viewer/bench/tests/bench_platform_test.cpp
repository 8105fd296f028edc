// The benchmark's platform side under the Windows emulator: the result address's EUC-JP escapes
// through the platform's code page 20932, and the PC read from the engine's system-information record.
#include "bench_address.h"
#include "bench_eucjp.h"
#include "bench_pc.h"

#include <gtest/gtest.h>

#include <string.h>

using namespace bench;

TEST(EucJp, KanjiKanaAndFullWidthFormsHaveTwoBytes) {
    EXPECT_EQ(escape_value(u"東京", euc_jp_bytes), u"%C5%EC%B5%FE");
    EXPECT_EQ(escape_value(u"不可", euc_jp_bytes), u"%C9%D4%B2%C4");
    EXPECT_EQ(escape_value(u"アＰ", euc_jp_bytes), u"%A5%A2%A3%D0");
    EXPECT_EQ(escape_value(u"ｱﾝ", euc_jp_bytes), u"%8E%B1%8E%DD"); // half-width katakana after SS2
}

TEST(EucJp, LettersStayAndCharactersWithoutCodeBecomeQuestionMarks) {
    EXPECT_EQ(escape_value(u"Core 2 Duo E8400 @ 3.00GHz", euc_jp_bytes), u"Core 2 Duo E8400 %40 3.00GHz");
    uint8_t bytes[2];
    EXPECT_FALSE(euc_jp_bytes(u'\uAC00', bytes)); // Hangul has no EUC-JP code
    EXPECT_EQ(escape_value(u"\uAC00東", euc_jp_bytes), u"%3F%C5%EC");
}

// The code page answers JIS X 0212 characters (丂, é) with two bytes whose second lies below 0xA1,
// without the 0x8F prefix: such a pair would reach the page as some other character.
TEST(EucJp, JisX0212CharactersHaveNoTwoByteCode) {
    uint8_t bytes[2];
    EXPECT_FALSE(euc_jp_bytes(u'\u4E02', bytes));
    EXPECT_FALSE(euc_jp_bytes(u'\u00E9', bytes));
    EXPECT_EQ(escape_value(u"丂é東", euc_jp_bytes), u"%3F%3F%C5%EC");
}

TEST(PcRecord, FieldsWithBoundedNamesAndLists) {
    tagTRVXSYSINFO record = {};
    wcscpy(record.processor, L"Core i7 9700 @ 3.00GHz");
    record.processorMHz = 3000;
    record.memoryMB = 16384;
    wcscpy(record.maker, L"東京");
    for (wchar_t &c : record.model) // fills the field: no terminator within its 80 characters
        c = L'M';
    wcscpy(record.osName, L"Windows 10");
    wcscpy(record.adapter, L"Radeon");
    tagTRVXGRAPHICS &g = record.graphics;
    g.videoMemoryMB = 512;
    g.textureStages = 8;
    g.maxTextureWidth = 8192;
    g.maxTextureHeight = 4096;
    g.lights = 8;
    g.mipmap = 1;
    g.anisotropyLevels[0] = 2;
    g.anisotropyLevels[1] = 16;
    for (int i = 0; i < TRVX_GRAPHICS_LEVELS; ++i) // no terminator: all 15 count
        g.antialiasLevels[i] = 2 + i;
    g.antialias = 99; // the setting that follows the list is not a level
    g.currentDepth = {24, 8, 0};

    PcInfo pc = pc_info_from(record, true, 1920, 1080);
    EXPECT_EQ(pc.processor, u"Core i7 9700 @ 3.00GHz");
    EXPECT_EQ(pc.processorMHz, 3000u);
    EXPECT_EQ(pc.memoryMB, 16384);
    EXPECT_EQ(pc.maker, u"東京");
    EXPECT_EQ(pc.model, std::u16string(80, u'M'));
    EXPECT_EQ(pc.osName, u"Windows 10");
    EXPECT_EQ(pc.displayChip, u"Radeon");
    EXPECT_EQ(pc.videoMemoryMB, 512);
    EXPECT_EQ(pc.maxTextureWidth, 8192);
    EXPECT_EQ(pc.maxTextureHeight, 4096);
    EXPECT_TRUE(pc.mipmaps);
    EXPECT_EQ(pc.anisotropyLevels, (std::vector<int>{2, 16}));
    ASSERT_EQ(pc.antialiasLevels.size(), 15u);
    EXPECT_EQ(pc.antialiasLevels.back(), 16);
    EXPECT_TRUE(antialias_offered(pc, 4));
    EXPECT_FALSE(antialias_offered(pc, 17));
    EXPECT_EQ(pc.depthBits, 24);
    EXPECT_EQ(pc.stencilBits, 8);
    EXPECT_TRUE(pc.hardware3DSound);
    EXPECT_EQ(pc.screenWidth, 1920);
}
