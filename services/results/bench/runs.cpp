// Making benchmark runs.
#include "runs.h"

#include "bench_result.h"
#include "bench_score.h"
#include "bench_text.h"
#include "run_key.h"

#include <nlohmann/json.hpp>

#include <random>

namespace results_bench {

namespace {

const char *const kChips[] = {"RADEON 9800 PRO", "RADEON 9600 XT", "GeForce FX 5900", "GeForce FX 5200",
                              "GeForce 6800 GT", "Intel 82865G", "Parhelia", "Volari V8", "DeltaChrome S8",
                              "RADEON X800 XT"};
const char *const kProcessors[] = {"Intel(R) Pentium(R) 4 CPU 3.00GHz", "AMD Athlon(tm) 64 Processor 3200+",
                                   "Intel(R) Pentium(R) M processor 1.60GHz", "Intel(R) Celeron(R) CPU 2.40GHz",
                                   "AMD Athlon(tm) XP 2800+"};
const char *const kSystems[] = {"Microsoft Windows XP Professional", "Microsoft Windows XP Home Edition",
                                "Microsoft Windows 2000 Professional", "Microsoft Windows Me"};

template <size_t N> const char *pick(const char *const (&list)[N], uint64_t n) { return list[n % N]; }

bench::BenchResult result_of(uint64_t n) {
    std::mt19937 random(static_cast<uint32_t>(n));
    bench::BenchResult result;
    result.started = "2026-12-08T21:53:37#" + std::to_string(n);
    result.pcKnown = true;
    bench::PcInfo &pc = result.pc;
    pc.osName = bench::widen(pick(kSystems, n));
    pc.maker = u"東京電機";
    pc.model = u"Bench " + bench::decimal(static_cast<long long>(n));
    pc.processor = bench::widen(pick(kProcessors, n / 3));
    pc.processorMHz = 1600 + static_cast<uint32_t>(random() % 1600);
    pc.memoryMB = 1024;
    pc.displayChip = bench::widen(pick(kChips, n / 7));
    pc.videoMemoryMB = 128 << (random() % 3);
    pc.textureStages = 8;
    pc.maxTextureWidth = pc.maxTextureHeight = 4096;
    pc.hardwareLights = 8;
    pc.mipmaps = true;
    pc.antialiasLevels = {2, 4};
    pc.anisotropyLevels = {2, 4, 8};
    pc.depthBits = 24;
    pc.stencilBits = 8;
    pc.screenWidth = 1280;
    pc.screenHeight = 1024;
    int scores[bench::kModeCount];
    for (int m = 0; m < bench::kModeCount; ++m) {
        bench::ModeRecord &mode = result.modes[m];
        mode.requested = mode.ran = bench::benchmark_mode(m + 1, 1280, 1024);
        mode.tested = true;
        for (int s = 0; s < bench::kShotCount; ++s) {
            int rate = 20 + static_cast<int>(random() % 100);
            mode.shots[s].rate = rate;
            mode.score += rate;
            for (int f = 0; f < 8; ++f)
                mode.shots[s].frameMs.push_back(1000.0 / rate + f * 0.1);
        }
        scores[m] = mode.score;
    }
    result.total = bench::total_score(pc, scores);
    return result;
}

} // namespace

std::string result_file(uint64_t n) { return bench::result_json(result_of(n)); }

std::string refused_file(uint64_t n) {
    nlohmann::json file = nlohmann::json::parse(result_file(n));
    file["total_score"] = file["total_score"].get<int>() + 1;
    return file.dump();
}

std::string address_path(uint64_t n) {
    bench::BenchResult result = result_of(n);
    std::string path = "/benchmark/post_data.php?a=Windows%20XP&n=%C5%EC%B5%FE&o=Bench%20" + std::to_string(n) +
                       "&e=" + bench::utf8(result.pc.displayChip) + "&c=" + std::to_string(result.pc.processorMHz) + "&m=";
    for (size_t at; (at = path.find(' ')) != std::string::npos;)
        path.replace(at, 1, "%20");
    for (int m = 0; m < bench::kModeCount; ++m)
        path += (m ? "%20" : "") + std::to_string(result.modes[m].score / bench::kShotCount);
    return path + "&r=" + std::to_string(result.total);
}

results::Run filler_run(uint64_t n) {
    std::mt19937 random(static_cast<uint32_t>(n * 2654435761u));
    std::normal_distribution<double> spread(1000, 250);
    results::Run run;
    run.pc = {{"a", pick(kSystems, n)}, {"b", pick(kProcessors, n / 3)}, {"e", pick(kChips, n / 7)},
              {"o", "Filler " + std::to_string(n)}, {"q", "1280-1024"}};
    int total = std::max(0, static_cast<int>(spread(random)));
    run.total = total;
    run.modes = results::ModeRates{total / 15, static_cast<int>(random() % 3) ? total / 20 : 0, total / 18,
                                   static_cast<int>(random() % 2) ? total / 25 : 0};
    run.addressKey = results::address_key(run);
    return run;
}

} // namespace results_bench
