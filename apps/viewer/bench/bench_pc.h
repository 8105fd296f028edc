// The PC as the engine's system-information record describes it.
#pragma once

#include "bench_pcinfo.h"
#include "plugin/trvx_plugin.h"

namespace bench {

// The record's fields (names end at their 80th character at the latest, level lists at their first
// 0 or their 15th entry), with the screen size and the sound system's 3D flag besides.
PcInfo pc_info_from(const tagTRVXSYSINFO &record, bool hardware3DSound, int screenWidth, int screenHeight);

} // namespace bench
