// The PC's properties as the benchmark reports them (bench_pc.h reads them from the engine's system
// information record), and the rows of the result screen and address they become.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct PcInfo {
    std::u16string processor, maker, model, osName, displayChip;
    uint32_t processorMHz = 0;
    int memoryMB = 0;
    int videoMemoryMB = 0;
    int textureStages = 0;
    int maxTextureWidth = 0, maxTextureHeight = 0; // pixels
    int hardwareLights = 0;
    bool mipmaps = false;
    std::vector<int> anisotropyLevels; // as the driver lists them, without the ending 0
    std::vector<int> antialiasLevels;  // as the driver lists them, without the ending 0
    int depthBits = 0, stencilBits = 0;
    bool hardware3DSound = false;      // from the sound system, not the record
    int screenWidth = 0, screenHeight = 0; // from the desktop, not the record
};

// Whether the engine offers this antialias level (only the first 15 list entries count).
bool antialias_offered(const PcInfo &pc, int level);

struct InfoRow {
    std::u16string label;
    const char *key;      // parameter name in the result address
    std::u16string value; // as sent; the screen shows "0" and "1" as 不可
    std::u16string unit;
};

// The table of the result screen, in screen order.
std::vector<InfoRow> pc_info_rows(const PcInfo &pc);
// "label：　value unit" as the screen shows the row.
std::u16string row_text(const InfoRow &row);

} // namespace bench
