// Memory blocks, file services and routing layer files to the format plug-ins.
#include "test_support.h"

#include <fstream>
#include <string.h>
#include <wchar.h>

namespace {

typedef void (*LastCallProc)(wchar_t *folder, wchar_t *file);

void write_text(const std::wstring &path, const char *text)
{
    std::ofstream file(path.c_str(), std::ios::binary);
    file << text;
}

class FilesTest : public EngineTest {};

} // namespace

TEST_F(FilesTest, MemoryBlocksCarryCapacityAndSize)
{
    unsigned char *block = (unsigned char *)TRVX_AllocMemory(ctx, 10);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(((uint32_t *)block)[-2], 10u); // capacity
    EXPECT_EQ(((uint32_t *)block)[-1], 10u); // size
    memset(block, 0xAB, 10);
    EXPECT_EQ(TRVX_ResizeMemory(ctx, block, 4), block);
    EXPECT_EQ(TRVX_SizeMemory(ctx, block), 4);
    EXPECT_EQ(TRVX_ResizeMemory(ctx, block, 10), block);
    for (int i = 4; i < 10; ++i)
        EXPECT_EQ(block[i], 0) << i;
    EXPECT_EQ(block[3], 0xAB);

    block = (unsigned char *)TRVX_ResizeMemory(ctx, block, 11);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(((uint32_t *)block)[-2], 1000u);
    EXPECT_EQ(TRVX_SizeMemory(ctx, block), 11);
    EXPECT_EQ(block[10], 0);
    block = (unsigned char *)TRVX_ResizeMemory(ctx, block, 2001);
    EXPECT_EQ(((uint32_t *)block)[-2], 3000u);
    EXPECT_EQ(block[2000], 0);
    EXPECT_TRUE(TRVX_FreeMemory(ctx, block));
    EXPECT_EQ(TRVX_SizeMemory(ctx, nullptr), 0);
}

TEST_F(FilesTest, ReadAndWriteWholeFiles)
{
    std::wstring path = test_folder() + L"bytes.bin";
    const char data[] = "ab\0cd";
    ASSERT_EQ(TRVX_WriteFile(ctx, path.c_str(), data, 5), 1);
    int size = -1;
    char *read = (char *)TRVX_ReadFile(ctx, path.c_str(), &size, 1);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(TRVX_SizeMemory(ctx, read), 6);
    EXPECT_EQ(memcmp(read, data, 5), 0);
    EXPECT_EQ(read[5], 0);
    TRVX_FreeMemory(ctx, read);

    size = -1;
    EXPECT_EQ(TRVX_ReadFile(ctx, path.c_str(), &size, 0), nullptr);
    EXPECT_EQ(size, 5);

    ASSERT_EQ(TRVX_WriteFile(ctx, path.c_str(), "", 0), 1); // replaced, now empty
    read = (char *)TRVX_ReadFile(ctx, path.c_str(), &size, 1);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(TRVX_SizeMemory(ctx, read), 1);
    EXPECT_EQ(read[0], 0);
    DeleteFileW(path.c_str());

    size = -1;
    EXPECT_EQ(TRVX_ReadFile(ctx, L"no such file.bin", &size, 1), nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(TRVX_WriteFile(ctx, L"no such folder\\x.bin", data, 5), 0);
}

TEST_F(FilesTest, PathsAreSplitFromTheirFullForm)
{
    wchar_t folder[128], name[64], extension[8];
    ASSERT_EQ(TRVX_ChangePathName(ctx, L"a.b\\c", folder, name, extension), 1);
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(std::wstring(folder), std::wstring(current) + L"\\a.b\\");
    EXPECT_STREQ(name, L"c");
    EXPECT_STREQ(extension, L"");

    ASSERT_EQ(TRVX_ChangePathName(ctx, L"C:\\models\\plane.v2.TVM", folder, name, extension), 1);
    EXPECT_STREQ(folder, L"C:\\models\\");
    EXPECT_STREQ(name, L"plane.v2");
    EXPECT_STREQ(extension, L".TVM");
    EXPECT_EQ(TRVX_ChangePathName(ctx, L"C:\\x.y", nullptr, nullptr, nullptr), 1);

    // Too long for the records these parts go into, or for a file name at all: refused untouched.
    std::wstring longName = L"C:\\" + std::wstring(70, L'n') + L".tvm";
    wcscpy(name, L"kept");
    EXPECT_EQ(TRVX_ChangePathName(ctx, longName.c_str(), folder, name, extension), 0);
    EXPECT_STREQ(name, L"kept");
    std::wstring longFolder = L"C:\\" + std::wstring(130, L'f') + L"\\a.tvm";
    EXPECT_EQ(TRVX_ChangePathName(ctx, longFolder.c_str(), folder, name, extension), 0);
    std::wstring tooLong = L"C:\\" + std::wstring(300, L'x');
    EXPECT_EQ(TRVX_ChangePathName(ctx, tooLong.c_str(), folder, name, extension), 0);
    EXPECT_EQ(TRVX_ChangePathName(ctx, L"", folder, name, extension), 0);
    EXPECT_EQ(TRVX_ChangePathName(ctx, nullptr, folder, name, extension), 0);
}

TEST_F(FilesTest, SearchListsMatchesWithNameAndExtensionSplitAtTheFirstDot)
{
    std::wstring dir = test_folder() + L"search\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW((dir + L"x.folder").c_str(), nullptr);
    write_text(dir + L"x.tar.gz", "12345");
    int count = -1;
    tagTRVXFILE *found = TRVX_SearchFile(ctx, dir.c_str(), L"x", L".tar.gz", &count);
    ASSERT_EQ(count, 1);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(std::wstring(found[0].folder), dir);
    EXPECT_STREQ(found[0].name, L"x");
    EXPECT_STREQ(found[0].extension, L".tar.gz");
    EXPECT_EQ(found[0].size, 5);
    EXPECT_EQ(found[0].module, nullptr);
    TRVX_FreeMemory(ctx, found);

    found = TRVX_SearchFile(ctx, dir.c_str(), L"*", L"", &count);
    ASSERT_EQ(count, 2); // "." and ".." are not listed
    int folderEntry = wcscmp(found[0].extension, L".folder") == 0 ? 0 : 1;
    EXPECT_EQ(found[folderEntry].size, -1);
    TRVX_FreeMemory(ctx, found);

    EXPECT_EQ(TRVX_SearchFile(ctx, dir.c_str(), L"nothing", L".here", &count), nullptr);
    EXPECT_EQ(count, 0);
    std::wstring longFolder = L"C:\\" + std::wstring(200, L'f') + L"\\";
    EXPECT_EQ(TRVX_SearchFile(ctx, longFolder.c_str(), L"*", L"", &count), nullptr);
    EXPECT_EQ(count, 0);
    DeleteFileW((dir + L"x.tar.gz").c_str());
    RemoveDirectoryW((dir + L"x.folder").c_str());
    RemoveDirectoryW(dir.c_str());
}

TEST_F(FilesTest, TextConvertsBetweenCodePageAndUtf16)
{
    wchar_t *wide = TRVX_ChangeToUnicode(ctx, "Layer 1");
    ASSERT_NE(wide, nullptr);
    EXPECT_STREQ(wide, L"Layer 1");
    EXPECT_EQ(TRVX_SizeMemory(ctx, wide), 9 * 2); // text, terminator and one spare character
    char *narrow = TRVX_ChangeFromUnicode(ctx, wide);
    ASSERT_NE(narrow, nullptr);
    EXPECT_STREQ(narrow, "Layer 1");
    EXPECT_EQ(TRVX_SizeMemory(ctx, narrow), 9);
    TRVX_FreeMemory(ctx, wide);
    TRVX_FreeMemory(ctx, narrow);
}

// The ASCII path reads sixteen bytes at a time from aligned addresses: texts of every length
// starting at every alignment, with and without a byte outside ASCII somewhere, must convert as the
// platform's conversion does.
TEST_F(FilesTest, TextOfEveryLengthAndAlignmentConvertsAsThePlatformDoes)
{
    alignas(16) char buffer[96];
    for (int start = 0; start < 16; ++start)
        for (int length = 0; length < 48; ++length)
            for (int high = -1; high < length; high += 7) {
                char *text = buffer + start;
                for (int i = 0; i < length; ++i)
                    text[i] = (char)('A' + (i * 7 + start) % 26);
                if (high >= 0)
                    text[high] = (char)0xE9;
                text[length] = 0;
                memset(text + length + 1, 'x', sizeof buffer - (size_t)(start + length + 1));
                wchar_t expected[64] = {};
                MultiByteToWideChar(CP_ACP, 0, text, -1, expected, 64);
                wchar_t *wide = TRVX_ChangeToUnicode(ctx, text);
                ASSERT_NE(wide, nullptr);
                EXPECT_STREQ(wide, expected) << start << " " << length << " " << high;
                int units = (int)wcslen(expected);
                EXPECT_EQ(TRVX_SizeMemory(ctx, wide), (units + 2) * 2) << start << " " << length << " " << high;
                EXPECT_EQ(wide[units + 1], 0);
                TRVX_FreeMemory(ctx, wide);
            }
}

TEST_F(FilesTest, LayerFilesGoToThePluginOfTheirExtensionInTheirFolder)
{
    std::wstring dir = test_folder() + L"models\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    LastCallProc lastCall = (LastCallProc)(void *)GetProcAddress(GetModuleHandleW(L"trvx_testfmt.dll"),
                                                                 "TestFormatLastCall");
    ASSERT_NE(lastCall, nullptr);
    wchar_t before[MAX_PATH], after[MAX_PATH], folder[MAX_PATH], file[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);

    TRVXLAYER layer = TRVXL_ReadLayer(ctx, ctx->rootLayer, (dir + L"Plane.TVM").c_str());
    ASSERT_NE(layer, nullptr);
    EXPECT_STREQ(layer->name, L"Plane.TVM");
    EXPECT_EQ(layer->parent, ctx->rootLayer);
    lastCall(folder, file);
    EXPECT_EQ(std::wstring(folder) + L"\\", dir);
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(after, before);

    TRVX_SampleCounter(ctx, 400);
    EXPECT_NE(TRVX_SampleCounter(ctx, 0), 50u);
    EXPECT_NE(TRVXL_ReadLayer(ctx, nullptr, (dir + L"a.tst").c_str()), nullptr);
    EXPECT_EQ(TRVX_SampleCounter(ctx, 0), 50u); // a read resets the frame average

    EXPECT_EQ(TRVXL_ReadLayer(ctx, nullptr, (dir + L"refuse.tst").c_str()), nullptr);
    EXPECT_EQ(TRVXL_ReadLayer(ctx, nullptr, (dir + L"noextension").c_str()), nullptr);
    EXPECT_EQ(TRVXL_ReadLayer(ctx, nullptr, (dir + L"other.obj").c_str()), nullptr);
    EXPECT_EQ(TRVXL_ReadLayer(ctx, nullptr, (dir + L"long.tvmx").c_str()), nullptr);

    EXPECT_EQ(TRVXL_WriteLayer(ctx, layer, (dir + L"out.TST").c_str()), 7u);
    lastCall(folder, file);
    EXPECT_STREQ(file, L"out.TST");
    EXPECT_EQ(TRVXL_WriteLayer(ctx, layer, (dir + L"out.tvm").c_str()), 0u); // read-only format
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(after, before);
    RemoveDirectoryW(dir.c_str());
}
