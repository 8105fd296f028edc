// Texture cache files: what makes a cache valid for an image (its sources' sizes and times, how they
// were combined), and that a damaged file is refused rather than read past its end.
#include <gtest/gtest.h>
#include <string.h>

#include "d3d9_texture_cache.h"

namespace {

const uint32_t kA8R8G8B8 = 21;
const uint32_t kDxt1 = 0x31545844;

struct Cached {
    D3D9CACHEKEY key = {1, 1, {{1234, 99999}}};
    D3D9CACHESLOT slot = {5, 3, 1, 0x23202122, 1};
    std::vector<std::vector<uint8_t>> pixels;
    D3D9CACHEIMAGE image = {};

    // A 5x3 image in 32-bit pixels with its whole chain of three levels (5x3, 2x1, 1x1).
    Cached()
    {
        image.format = kA8R8G8B8;
        image.width = 5;
        image.height = 3;
        image.levels = 3;
        const uint32_t sides[3][2] = {{5, 3}, {2, 1}, {1, 1}};
        for (int i = 0; i < 3; ++i) {
            pixels.emplace_back(sides[i][0] * 4 * sides[i][1]);
            for (size_t b = 0; b < pixels[i].size(); ++b)
                pixels[i][b] = (uint8_t)(b * 7 + i);
            image.level[i] = {sides[i][0] * 4, sides[i][1], pixels[i].data()};
        }
    }
    std::vector<uint8_t> bytes() const { return d3d9_cache_bytes(key, slot, image); }
};

int parse(const std::vector<uint8_t> &file, const D3D9CACHEKEY &key, D3D9CACHESLOT *slot, D3D9CACHEIMAGE *image)
{
    return d3d9_cache_parse(file.data(), file.size(), key, slot, image);
}

TEST(TextureCache, GivesBackTheSlotFactsAndEveryLevel)
{
    Cached c;
    std::vector<uint8_t> file = c.bytes();
    ASSERT_FALSE(file.empty());
    D3D9CACHESLOT slot = {};
    D3D9CACHEIMAGE image = {};
    ASSERT_EQ(parse(file, c.key, &slot, &image), 1);
    EXPECT_EQ(memcmp(&slot, &c.slot, sizeof slot), 0);
    EXPECT_EQ(image.format, kA8R8G8B8);
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    ASSERT_EQ(image.levels, 3u);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ((size_t)image.level[i].rowBytes * image.level[i].rows, c.pixels[i].size());
        EXPECT_EQ(memcmp(image.level[i].data, c.pixels[i].data(), c.pixels[i].size()), 0) << "level " << i;
        EXPECT_GE(image.level[i].data, file.data());
        EXPECT_LE(image.level[i].data + c.pixels[i].size(), file.data() + file.size());
    }
}

TEST(TextureCache, StandsOnlyForTheSourcesAndTheWayTheyWereCombined)
{
    Cached c;
    std::vector<uint8_t> file = c.bytes();
    D3D9CACHESLOT slot;
    D3D9CACHEIMAGE image;
    D3D9CACHEKEY key = c.key;
    key.sources[0].time += 1; // the image was saved again
    EXPECT_EQ(parse(file, key, &slot, &image), 0);
    key = c.key;
    key.sources[0].size -= 1;
    EXPECT_EQ(parse(file, key, &slot, &image), 0);
    key = c.key;
    key.variant = 2; // keyed on black instead of masked
    EXPECT_EQ(parse(file, key, &slot, &image), 0);
    key = c.key;
    key.sourceCount = 2; // a mask appeared beside the image
    key.sources[1] = {10, 20};
    EXPECT_EQ(parse(file, key, &slot, &image), 0);
}

TEST(TextureCache, RefusesCutPaddedAndAlteredFiles)
{
    Cached c;
    const std::vector<uint8_t> file = c.bytes();
    D3D9CACHESLOT slot;
    D3D9CACHEIMAGE image;
    for (size_t cut = 0; cut < file.size(); ++cut) {
        std::vector<uint8_t> shorter(file.begin(), file.begin() + (long)cut);
        ASSERT_EQ(parse(shorter, c.key, &slot, &image), 0) << "cut at " << cut;
    }
    std::vector<uint8_t> longer = file;
    longer.push_back(0);
    EXPECT_EQ(parse(longer, c.key, &slot, &image), 0);
    EXPECT_EQ(d3d9_cache_parse(nullptr, 0, c.key, &slot, &image), 0);

    // Each header word (magic to the level table, before the pixels) set to values that lie: none may
    // be taken, since the level sizes must match the format and the chain exactly.
    const size_t header = file.size() - (15 * 4 + 2 * 4 + 1 * 4);
    const size_t slotFactsAt = sizeof(uint64_t) + 3 * sizeof(uint32_t) + 2 * sizeof(uint64_t);
    for (size_t at = 0; at + 4 <= header; at += 4) {
        for (uint32_t lie : {0u, 1u, 0xFFFFFFFFu, 0x7FFFFFFFu, 16u, 17u}) {
            std::vector<uint8_t> altered = file;
            uint32_t was;
            memcpy(&was, &altered[at], 4);
            if (was == lie)
                continue;
            memcpy(&altered[at], &lie, 4);
            int taken = parse(altered, c.key, &slot, &image);
            // The slot facts are the driver's own report and may hold any value.
            bool slotFact = at >= slotFactsAt && at < slotFactsAt + sizeof(D3D9CACHESLOT);
            if (!slotFact)
                EXPECT_EQ(taken, 0) << "word at " << at << " set to " << lie;
        }
    }
}

TEST(TextureCache, KnowsTheRowsOfPlainAndBlockFormats)
{
    EXPECT_EQ(d3d9_cache_row_bytes(kA8R8G8B8, 7), 28u);
    EXPECT_EQ(d3d9_cache_rows(kA8R8G8B8, 9), 9u);
    EXPECT_EQ(d3d9_cache_row_bytes(kDxt1, 5), 16u); // two 8-byte blocks
    EXPECT_EQ(d3d9_cache_rows(kDxt1, 1), 1u);
    EXPECT_EQ(d3d9_cache_row_bytes(12345, 4), 0u);
    EXPECT_EQ(d3d9_cache_rows(12345, 4), 0u);

    Cached c;
    c.image.levels = 4; // a 5x3 image has only three levels
    EXPECT_TRUE(c.bytes().empty());
    c.image.levels = 3;
    c.image.level[1].rowBytes = 12; // level 1 is 2 pixels wide
    EXPECT_TRUE(c.bytes().empty());
}

} // namespace
