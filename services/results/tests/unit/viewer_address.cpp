// Building the viewer's address and result file in the tests.
#include "viewer_address.h"

#include "bench_address.h"
#include "bench_score.h"
#include "bench_text.h"

#include <iconv.h>

#include <stdexcept>

namespace results_test {

bool glibc_euc_jp(char16_t c, uint8_t (&bytes)[2]) {
    static iconv_t cd = iconv_open("EUC-JP", "UTF-16LE");
    char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)}, out[4];
    char *inPtr = in, *outPtr = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || sizeof out - outLeft != 2)
        return false;
    bytes[0] = static_cast<uint8_t>(out[0]);
    bytes[1] = static_cast<uint8_t>(out[1]);
    return bytes[1] >= 0xA1;
}

bench::BenchResult sample_result() {
    bench::BenchResult result;
    result.started = "2026-12-08T21:53:37";
    result.pcKnown = true;
    bench::PcInfo &pc = result.pc;
    pc.osName = u"Microsoft Windows XP Professional";
    pc.maker = u"東京電機";
    pc.model = u"ＨＸ－２１ モデル Ⅱ";
    pc.processor = u"Intel(R) Pentium(R) 4 CPU 3.00GHz";
    pc.processorMHz = 3000;
    pc.memoryMB = 1024;
    pc.displayChip = u"RADEON 9800 PRO & friends = 100% <fast>";
    pc.videoMemoryMB = 128;
    pc.textureStages = 8;
    pc.maxTextureWidth = pc.maxTextureHeight = 2048;
    pc.hardwareLights = 8;
    pc.mipmaps = true;
    pc.antialiasLevels = {2, 4};
    pc.anisotropyLevels = {2, 4, 8, 16};
    pc.depthBits = 24;
    pc.stencilBits = 8;
    pc.hardware3DSound = false;
    pc.screenWidth = 1280;
    pc.screenHeight = 1024;
    const int rates[bench::kModeCount][bench::kShotCount] = {{61, 58, 60, 62, 59, 60}, {}, {45, 44, 47, 46, 43, 45}, {}};
    for (int m = 0; m < bench::kModeCount; ++m) {
        bench::ModeRecord &mode = result.modes[m];
        mode.requested = mode.ran = bench::benchmark_mode(m + 1, 1280, 1024);
        mode.tested = rates[m][0] > 0;
        if (!mode.tested) {
            mode.note = m == 1 ? "not selected" : "";
            continue;
        }
        for (int s = 0; s < bench::kShotCount; ++s) {
            mode.shots[s].rate = rates[m][s];
            mode.score += rates[m][s];
            for (int f = 0; f < 40; ++f)
                mode.shots[s].frameMs.push_back(1000.0 / rates[m][s] + (f % 7) * 0.25);
        }
    }
    return result;
}

std::u16string viewer_address(bench::BenchResult &result, const std::u16string &host) {
    bench::ResultAddress address(host);
    for (const bench::InfoRow &row : bench::pc_info_rows(result.pc))
        address.add(row.key, row.value, glibc_euc_jp);
    int scores[bench::kModeCount];
    std::u16string m;
    for (int k = 0; k < bench::kModeCount; ++k) {
        scores[k] = result.modes[k].score;
        m += (k ? u" " : u"") + bench::decimal(result.modes[k].score / bench::kShotCount);
    }
    address.add_escaped("m", m);
    result.total = bench::total_score(result.pc, scores);
    address.add("r", bench::decimal(result.total), glibc_euc_jp);
    result.address = address.text();
    return result.address;
}

std::string sent_query(const std::u16string &address) {
    size_t mark = address.find(u'?');
    std::string query;
    for (size_t i = mark == std::u16string::npos ? address.size() : mark + 1; i < address.size(); ++i) {
        if (address[i] >= 0x100)
            throw std::logic_error("the viewer left a character above U+00FF in its address");
        query += static_cast<char>(address[i]);
    }
    return query;
}

} // namespace results_test
