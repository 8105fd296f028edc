// Reading the PC from the engine's system-information record.
#include "bench_pc.h"

namespace bench {

namespace {

template <size_t N> std::u16string name_of(const wchar_t (&field)[N]) {
    std::u16string name;
    for (size_t i = 0; i < N && field[i]; ++i)
        name += static_cast<char16_t>(field[i]);
    return name;
}

std::vector<int> levels_of(const int32_t (&list)[TRVX_GRAPHICS_LEVELS]) {
    std::vector<int> levels;
    for (int32_t level : list) {
        if (level == 0)
            break;
        levels.push_back(level);
    }
    return levels;
}

} // namespace

PcInfo pc_info_from(const tagTRVXSYSINFO &record, bool hardware3DSound, int screenWidth, int screenHeight) {
    const tagTRVXGRAPHICS &g = record.graphics;
    PcInfo pc;
    pc.processor = name_of(record.processor);
    pc.processorMHz = record.processorMHz;
    pc.memoryMB = record.memoryMB;
    pc.maker = name_of(record.maker);
    pc.model = name_of(record.model);
    pc.osName = name_of(record.osName);
    pc.displayChip = name_of(record.adapter);
    pc.videoMemoryMB = g.videoMemoryMB;
    pc.textureStages = g.textureStages;
    pc.maxTextureWidth = g.maxTextureWidth;
    pc.maxTextureHeight = g.maxTextureHeight;
    pc.hardwareLights = g.lights;
    pc.mipmaps = g.mipmap != 0;
    pc.anisotropyLevels = levels_of(g.anisotropyLevels);
    pc.antialiasLevels = levels_of(g.antialiasLevels);
    pc.depthBits = g.currentDepth.depthBits;
    pc.stencilBits = g.currentDepth.stencilBits;
    pc.hardware3DSound = hardware3DSound;
    pc.screenWidth = screenWidth;
    pc.screenHeight = screenHeight;
    return pc;
}

} // namespace bench
