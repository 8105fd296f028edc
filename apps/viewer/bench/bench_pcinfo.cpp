// Reading the system information record and building the PC table.
#include "bench_pcinfo.h"

#include "bench_text.h"

namespace bench {

namespace {

// Byte offsets inside the engine's system information record.
enum : size_t {
    kProcessor = 0, kProcessorMHz = 160, kMemory = 164, kMaker = 168, kModel = 328, kOsName = 488,
    kDisplayChip = 652, kVideoMemory = 816, kTextureStages = 824, kTextureWidth = 828,
    kTextureHeight = 832, kHardwareLights = 836, kMipmaps = 844, kAnisotropyList = 852,
    kAntialiasList = 916, kDepthBits = 1744, kStencilBits = 1748,
};
constexpr size_t kNameChars = 80;
constexpr size_t kAnisotropyEntries = (kAntialiasList - kAnisotropyList) / 4;
constexpr size_t kAntialiasEntries = 15;

uint32_t word_at(const uint8_t *record, size_t offset) {
    return record[offset] | record[offset + 1] << 8 | record[offset + 2] << 16 |
           static_cast<uint32_t>(record[offset + 3]) << 24;
}

int int_at(const uint8_t *record, size_t offset) { return static_cast<int32_t>(word_at(record, offset)); }

// A name field need not be terminated: it ends at its 80th character at the latest.
std::u16string name_at(const uint8_t *record, size_t offset) {
    std::u16string name;
    for (size_t i = 0; i < kNameChars; ++i) {
        char16_t c = static_cast<char16_t>(record[offset + 2 * i] | record[offset + 2 * i + 1] << 8);
        if (c == 0)
            break;
        name += c;
    }
    return name;
}

std::vector<int> list_at(const uint8_t *record, size_t offset, size_t entries) {
    std::vector<int> list;
    for (size_t i = 0; i < entries; ++i) {
        int level = int_at(record, offset + 4 * i);
        if (level == 0)
            break;
        list.push_back(level);
    }
    return list;
}

std::u16string pair(int a, int b) { return decimal(a) + u"-" + decimal(b); }

std::u16string level_list(const std::vector<int> &levels) {
    std::u16string text;
    for (int level : levels)
        text += u" " + decimal(level);
    return text;
}

} // namespace

PcInfo pc_info_from_record(const uint8_t (&record)[kPcRecordSize]) {
    PcInfo pc;
    pc.processor = name_at(record, kProcessor);
    pc.processorMHz = word_at(record, kProcessorMHz);
    pc.memoryMB = int_at(record, kMemory);
    pc.maker = name_at(record, kMaker);
    pc.model = name_at(record, kModel);
    pc.osName = name_at(record, kOsName);
    pc.displayChip = name_at(record, kDisplayChip);
    pc.videoMemoryMB = int_at(record, kVideoMemory);
    pc.textureStages = int_at(record, kTextureStages);
    pc.maxTextureWidth = int_at(record, kTextureWidth);
    pc.maxTextureHeight = int_at(record, kTextureHeight);
    pc.hardwareLights = int_at(record, kHardwareLights);
    pc.mipmaps = int_at(record, kMipmaps) != 0;
    pc.anisotropyLevels = list_at(record, kAnisotropyList, kAnisotropyEntries);
    pc.antialiasLevels = list_at(record, kAntialiasList, kAntialiasEntries);
    pc.depthBits = int_at(record, kDepthBits);
    pc.stencilBits = int_at(record, kStencilBits);
    return pc;
}

bool antialias_offered(const PcInfo &pc, int level) {
    for (int offered : pc.antialiasLevels)
        if (offered == level)
            return true;
    return false;
}

std::vector<InfoRow> pc_info_rows(const PcInfo &pc) {
    return {
        {u"OS", "a", pc.osName, u""},
        {u"PCメーカー", "n", pc.maker, u""},
        {u"PCモデル", "o", pc.model, u""},
        {u"CPU", "b", pc.processor, u""},
        {u"CLOCK", "c", decimal(pc.processorMHz), u" MHz"},
        {u"搭載メモリ", "d", decimal(pc.memoryMB), u" Mbyte"},
        {u"Videoチップ", "e", pc.displayChip, u" "},
        {u"Videoメモリ", "f", decimal(pc.videoMemoryMB), u" Mbyte"},
        {u"テクスチャー合成ステージ数", "g", decimal(pc.textureStages), u""},
        {u"テクスチャーサイズ", "l", pair(pc.maxTextureWidth, pc.maxTextureHeight), u" Pixel"},
        {u"光源演算ユニット数", "p", decimal(pc.hardwareLights), u""},
        {u"ミップマップ", "k", pc.mipmaps ? u"OK" : u"0", u""},
        {u"Z-ステンシルバッファ", "i", pair(pc.depthBits, pc.stencilBits), u" bit"},
        {u"アンチエイリアス", "h", level_list(pc.antialiasLevels), u""},
        {u"異方性フィルタリング", "j", level_list(pc.anisotropyLevels), u""},
        {u"3Dサウンド", "s", pc.hardware3DSound ? u"Hardware" : u"Software", u""},
        {u"現在の解像度", "q", pair(pc.screenWidth, pc.screenHeight), u" pixel"},
    };
}

std::u16string row_text(const InfoRow &row) {
    bool unavailable = row.value == u"0" || row.value == u"1";
    return row.label + u"：　" + (unavailable ? u"不可" : row.value) + row.unit;
}

} // namespace bench
