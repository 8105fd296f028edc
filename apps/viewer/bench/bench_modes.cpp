// Display modes of the benchmark and their mode lines.
#include "bench_modes.h"

#include "bench_text.h"

namespace bench {

DisplayMode benchmark_mode(int mode, int screenWidth, int screenHeight) {
    switch (mode) {
    case 1: return {960, 600, true, 1, 0};
    case 2: return {960, 600, true, 2, 2};
    case 3: return {1024, 768, false, 1, 0};
    default: return {screenWidth, screenHeight, false, 4, 4};
    }
}

// Levels 0 and 1 both mean no antialiasing; the Japanese and ASCII words stay in step by index.
static int antialias_word_index(int level) { return level <= 1 ? 0 : level >= 4 ? 3 : level - 1; }

std::u16string mode_line(const DisplayMode &mode) {
    static const char16_t *const words[] = {u"なし", u"２倍", u"３倍", u"４倍"};
    return decimal(mode.width) + u"×" + decimal(mode.height) + u"ドット　" +
           (mode.windowed ? u"ウインドウ" : u"フルスクリーン") + u"モード　アンチエイリアス" +
           words[antialias_word_index(mode.antialias)];
}

std::string mode_description(const DisplayMode &mode) {
    static const char *const words[] = {"none", "2", "3", "4"};
    return std::to_string(mode.width) + " * " + std::to_string(mode.height) + "  " +
           (mode.windowed ? "Window" : "FullScreen") + "Mode  Antialias-" +
           words[antialias_word_index(mode.antialias)];
}

std::string overlay_line(const DisplayMode &mode, int framesPerSecond) {
    return mode_description(mode) + "  :  FrameRate = " + std::to_string(framesPerSecond);
}

} // namespace bench
