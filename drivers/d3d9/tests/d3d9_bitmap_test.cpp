// Byte handling of the bitmap texture path: which files it accepts, the transparency it makes and
// the DDS wrapper the texture loader reads.
#include <gtest/gtest.h>
#include <string.h>

#include "d3d9_bitmap.h"

namespace {

// A bottom-up 24-bit bitmap file; pixels are (blue, green, red) triples, bottom row first.
std::vector<uint8_t> bitmap_file(int width, int height, const std::vector<uint8_t> &rows, int bits = 24)
{
    std::vector<uint8_t> f(54 + rows.size(), 0);
    auto put32 = [&](size_t at, uint32_t v) { memcpy(&f[at], &v, 4); };
    f[0] = 'B';
    f[1] = 'M';
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)width);
    put32(22, (uint32_t)height);
    f[26] = 1;
    f[28] = (uint8_t)bits;
    if (!rows.empty())
        memcpy(&f[54], rows.data(), rows.size());
    put32(2, (uint32_t)f.size());
    return f;
}

TEST(Bitmap, AcceptsOnlyWholeUnpaddedUncompressed24BitFiles)
{
    std::vector<uint8_t> rows(4 * 2 * 3, 0x11);
    auto file = bitmap_file(4, 2, rows);
    D3D9BITMAP b;
    ASSERT_EQ(1, d3d9_parse_bitmap(file.data(), file.size(), &b));
    EXPECT_EQ(4, b.width);
    EXPECT_EQ(2, b.height);
    EXPECT_EQ(file.data() + 54, b.rows);
    // Every shorter file is refused: the pixels would run past its end.
    for (size_t size = 0; size < file.size(); ++size)
        EXPECT_EQ(0, d3d9_parse_bitmap(file.data(), size, &b)) << "size " << size;

    auto padded = bitmap_file(3, 2, std::vector<uint8_t>(2 * 12, 0));
    EXPECT_EQ(0, d3d9_parse_bitmap(padded.data(), padded.size(), &b)) << "rows of 9 bytes need padding";
    auto paletted = bitmap_file(4, 2, rows, 8);
    EXPECT_EQ(0, d3d9_parse_bitmap(paletted.data(), paletted.size(), &b));
    auto compressed = file;
    compressed[30] = 1;
    EXPECT_EQ(0, d3d9_parse_bitmap(compressed.data(), compressed.size(), &b));
    auto topDown = file;
    memset(&topDown[22], 0xFF, 4); // height -1
    EXPECT_EQ(0, d3d9_parse_bitmap(topDown.data(), topDown.size(), &b));
    auto huge = file;
    const uint32_t big = 0x40000000;
    memcpy(&huge[18], &big, 4);
    memcpy(&huge[22], &big, 4);
    EXPECT_EQ(0, d3d9_parse_bitmap(huge.data(), huge.size(), &b)) << "size arithmetic must not wrap";
    auto farOffset = file;
    const uint32_t offset = 0xFFFFFFF0u;
    memcpy(&farOffset[10], &offset, 4);
    EXPECT_EQ(0, d3d9_parse_bitmap(farOffset.data(), farOffset.size(), &b));
    auto notBitmap = file;
    notBitmap[0] = 'X';
    EXPECT_EQ(0, d3d9_parse_bitmap(notBitmap.data(), notBitmap.size(), &b));
    EXPECT_EQ(0, d3d9_parse_bitmap(NULL, 100, &b));
}

TEST(Bitmap, ColourKeyAndMaskMakeTopDownPixelsWithAlpha)
{
    // 4 x 1 would need no padding; 4 x 2 with a black and a dark-blue pixel on the bottom row.
    std::vector<uint8_t> rows = {0, 0, 0,  1, 0, 0,  9, 9, 9,  0, 0, 0,   // bottom row
                                 5, 6, 7,  5, 6, 7,  5, 6, 7,  5, 6, 7};  // top row
    auto file = bitmap_file(4, 2, rows);
    D3D9BITMAP colour;
    ASSERT_EQ(1, d3d9_parse_bitmap(file.data(), file.size(), &colour));
    auto keyed = d3d9_colour_key_pixels(colour);
    ASSERT_EQ(32u, keyed.size());
    EXPECT_EQ(255, keyed[3]) << "top row first";
    EXPECT_EQ(7, keyed[2]);
    EXPECT_EQ(0, keyed[16 + 3]) << "pure black is transparent";
    EXPECT_EQ(255, keyed[20 + 3]) << "a blue of 1 is opaque";
    EXPECT_EQ(0, keyed[28 + 3]);

    std::vector<uint8_t> maskRows(24, 0);
    maskRows[2] = 200;       // bottom-left red byte
    maskRows[12 + 11] = 17;  // top-right red byte
    auto maskFile = bitmap_file(4, 2, maskRows);
    D3D9BITMAP mask;
    ASSERT_EQ(1, d3d9_parse_bitmap(maskFile.data(), maskFile.size(), &mask));
    auto masked = d3d9_masked_pixels(colour, mask);
    EXPECT_EQ(17, masked[12 + 3]);
    EXPECT_EQ(200, masked[16 + 3]);
    EXPECT_EQ(0, masked[3]);
    EXPECT_EQ(5, masked[0]) << "colour bytes from the colour file";
}

TEST(Bitmap, DdsWrapperHeaderAndFormatCodes)
{
    std::vector<uint8_t> pixels(2 * 3 * 4, 0xAB);
    auto dds = d3d9_wrap_dds(2, 3, pixels);
    ASSERT_EQ(128u + 24u, dds.size());
    auto u32 = [&](size_t at) { uint32_t v; memcpy(&v, &dds[at], 4); return v; };
    EXPECT_EQ(0, memcmp(dds.data(), "DDS ", 4));
    EXPECT_EQ(124u, u32(4));
    EXPECT_EQ(0x100Fu, u32(8));
    EXPECT_EQ(3u, u32(12));
    EXPECT_EQ(2u, u32(16));
    EXPECT_EQ(8u, u32(20));
    EXPECT_EQ(32u, u32(76));
    EXPECT_EQ(0x41u, u32(80));
    EXPECT_EQ(32u, u32(88));
    EXPECT_EQ(0xFF000000u, u32(104));
    EXPECT_EQ(0xAB, dds[128]);

    EXPECT_EQ(0x00202122u, d3d9_format_code(20));
    EXPECT_EQ(0x13202122u, d3d9_format_code(22));
    EXPECT_EQ(0u, d3d9_format_code(23));
    EXPECT_EQ(1, d3d9_format_code_has_alpha(d3d9_format_code(21)));
    EXPECT_EQ(1, d3d9_format_code_has_alpha(d3d9_format_code(28)));
    EXPECT_EQ(1, d3d9_format_code_has_alpha(d3d9_format_code(32)));
    EXPECT_EQ(0, d3d9_format_code_has_alpha(d3d9_format_code(33)));
    EXPECT_EQ(0, d3d9_format_code_has_alpha(0));
}

} // namespace
