// The PC table.
#include "bench_pcinfo.h"

#include "bench_text.h"

namespace bench {

namespace {

std::u16string pair(int a, int b) { return decimal(a) + u"-" + decimal(b); }

std::u16string level_list(const std::vector<int> &levels) {
    std::u16string text;
    for (int level : levels) {
        text += u' ';
        text += decimal(level);
    }
    return text;
}

} // namespace

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
