// Native tests of the benchmark's portable parts: score, texts, result address, statistics, result
// files and command line.
#include "bench_address.h"
#include "bench_modes.h"
#include "bench_options.h"
#include "bench_pcinfo.h"
#include "bench_result.h"
#include "bench_score.h"
#include "bench_stats.h"
#include "bench_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>

using namespace bench;

namespace {

// The two characters the tests need; the program uses the platform's full table.
bool tiny_euc_jp(char16_t c, uint8_t (&bytes)[2]) {
    if (c == u'東') { bytes[0] = 0xC5; bytes[1] = 0xEC; return true; }
    if (c == u'京') { bytes[0] = 0xB5; bytes[1] = 0xFE; return true; }
    return false;
}

PcInfo sample_pc() {
    PcInfo pc;
    pc.textureStages = 8;
    pc.hardwareLights = 8;
    pc.processorMHz = 2400;
    pc.videoMemoryMB = 256;
    pc.antialiasLevels = {2, 4};
    pc.anisotropyLevels = {2, 4, 8};
    return pc;
}

} // namespace

TEST(Score, SumsPropertiesMeanOfTestedModesAndTopLevels) {
    PcInfo pc = sample_pc();
    int scores[kModeCount] = {300, 290, 0, 280};
    // 40 + 40 + 30 + 20 + 3 * 290 + 5 * 4 (antialias) + 5 * 8 (anisotropy)
    EXPECT_EQ(total_score(pc, scores), 40 + 40 + 30 + 20 + 870 + 20 + 40);
}

TEST(Score, UntestedModesAndSmallLevelsAddNothing) {
    PcInfo pc = sample_pc();
    int none[kModeCount] = {0, -1, 0, 0};
    EXPECT_EQ(total_score(pc, none), 0);
    pc.antialiasLevels = {1};
    pc.anisotropyLevels = {};
    int one[kModeCount] = {0, 0, 301, 0};
    EXPECT_EQ(total_score(pc, one), 40 + 40 + 30 + 20 + 903);
    // Integer steps: 1599 MHz gives 19 points, not 20.
    pc.processorMHz = 1599;
    EXPECT_EQ(total_score(pc, one), 40 + 40 + 19 + 20 + 903);
}

TEST(ModeTexts, JapaneseLinesAndOverlayDescriptions) {
    EXPECT_EQ(mode_line(benchmark_mode(1, 1280, 1024)), u"960×600ドット　ウインドウモード　アンチエイリアスなし");
    EXPECT_EQ(mode_line(benchmark_mode(2, 1280, 1024)), u"960×600ドット　ウインドウモード　アンチエイリアス２倍");
    EXPECT_EQ(mode_line(benchmark_mode(3, 1280, 1024)),
              u"1024×768ドット　フルスクリーンモード　アンチエイリアスなし");
    EXPECT_EQ(mode_line(benchmark_mode(4, 1280, 1024)),
              u"1280×1024ドット　フルスクリーンモード　アンチエイリアス４倍");
    DisplayMode threeTimes{800, 600, true, 3, 0};
    EXPECT_EQ(mode_line(threeTimes), u"800×600ドット　ウインドウモード　アンチエイリアス３倍");
    EXPECT_EQ(mode_description(benchmark_mode(2, 0, 0)), "960 * 600  WindowMode  Antialias-2");
    EXPECT_EQ(overlay_line(benchmark_mode(3, 0, 0), 57), "1024 * 768  FullScreenMode  Antialias-none  :  FrameRate = 57");
    EXPECT_EQ(mode_description(benchmark_mode(4, 1920, 1080)), "1920 * 1080  FullScreenMode  Antialias-4");
}

TEST(PcRows, ScreenShowsUnavailableButAddressKeepsTheValue) {
    PcInfo pc = sample_pc();
    pc.textureStages = 1;
    pc.mipmaps = false;
    pc.maxTextureWidth = 2048;
    pc.maxTextureHeight = 1024;
    std::vector<InfoRow> rows = pc_info_rows(pc);
    ASSERT_EQ(rows.size(), 17u);
    EXPECT_STREQ(rows[0].key, "a");
    EXPECT_STREQ(rows[16].key, "q");
    const InfoRow &stages = rows[8];
    EXPECT_EQ(stages.value, u"1");
    EXPECT_EQ(row_text(stages), u"テクスチャー合成ステージ数：　不可");
    EXPECT_EQ(row_text(rows[11]), u"ミップマップ：　不可");
    EXPECT_EQ(row_text(rows[9]), u"テクスチャーサイズ：　2048-1024 Pixel");
    EXPECT_EQ(rows[13].value, u" 2 4");
    EXPECT_EQ(row_text(rows[15]), u"3Dサウンド：　Software");
}

TEST(ResultAddress, QueryFormatAndEucJpEscapes) {
    ResultAddress address(u"https://results.example.invalid/");
    address.add("a", u"Windows 10", tiny_euc_jp);
    address.add("n", u"東京", tiny_euc_jp);
    address.add("b", u"Core i7 9700 @ 3.00GHz", tiny_euc_jp);
    address.add("g", u"1", tiny_euc_jp);
    address.add_escaped("m", u"0 0 50 48");
    EXPECT_EQ(address.text(), u"https://results.example.invalid/benchmark/post_data.php"
                              u"?a=Windows 10&n=%C5%EC%B5%FE&b=Core i7 9700 %40 3.00GHz&g=1&m=0 0 50 48");
}

TEST(ResultAddress, ValuesCannotSplitTheQueryAndUnknownCharactersBecomeQuestionMarks) {
    EXPECT_EQ(escape_value(u"A&B=C#1%+é", tiny_euc_jp), u"A%26B%3DC%231%25%2B%3F");
    EXPECT_EQ(escape_value(u"東\u4E00", tiny_euc_jp), u"%C5%EC%3F");
    EXPECT_EQ(escape_value(u"東", nullptr), u"%3F");
}

// The address reaches the browser as a command-line argument ("...exe" "%1"): no value may end it,
// start a switch or reach a shell. Only letters, digits, "-._~" and the space stay as they are.
TEST(ResultAddress, NothingButUnreservedCharactersAndSpacesStayRaw) {
    EXPECT_EQ(escape_value(u"X\" --switch \"y<b>|c", tiny_euc_jp), u"X%22 --switch %22y%3Cb%3E%7Cc");
    EXPECT_EQ(escape_value(u"\\^`'()*!;:/?[]{}$,\t\x7F", tiny_euc_jp),
              u"%5C%5E%60%27%28%29%2A%21%3B%3A%2F%3F%5B%5D%7B%7D%24%2C%09%7F");
    EXPECT_EQ(escape_value(u"Aa-Zz_0.9~ ", tiny_euc_jp), u"Aa-Zz_0.9~ ");
    // Bytes from 0x80 go through the EUC-JP table like any other non-ASCII character.
    EXPECT_EQ(escape_value(u"\u00AE\u00A0", tiny_euc_jp), u"%3F%3F");
    // A table that answers a pair below 0xA1 (JIS X 0212 without its prefix) gives no code.
    auto loose = [](char16_t, uint8_t (&bytes)[2]) { bytes[0] = 0xB0; bytes[1] = 0x21; return true; };
    EXPECT_EQ(escape_value(u"丂", loose), u"%3F");
}

TEST(ResultAddress, OnlyWebAddressesMayReceiveTheResults) {
    EXPECT_TRUE(host_allowed(u"https://results.example.invalid"));
    EXPECT_TRUE(host_allowed(u"HTTP://127.0.0.1:8021/"));
    for (const char16_t *host : {u"file:///C:/Windows/notepad.exe", u"ms-settings:", u"javascript:alert(1)",
                                 u"\\\\server\\share", u"https://", u"http://a b", u"http://a\"b", u""})
        EXPECT_FALSE(host_allowed(host)) << std::string(host, host + std::char_traits<char16_t>::length(host));
}

TEST(ResultAddress, OverlongParametersAreLeftOutWholeAndLaterOnesStillFit) {
    ResultAddress address(kDefaultResultHost);
    size_t base = address.text().size();
    // Too long for any address: dropped, and the next parameter opens the query.
    EXPECT_FALSE(address.add("a", std::u16string(3000, u'x'), tiny_euc_jp));
    EXPECT_TRUE(address.add("n", u"maker", tiny_euc_jp));
    EXPECT_EQ(address.text().substr(base), u"?n=maker");
    // Fill up to exactly the limit, then one more character does not fit.
    size_t room = kAddressLimit - address.text().size() - 3; // "&o="
    EXPECT_TRUE(address.add("o", std::u16string(room, u'y'), tiny_euc_jp));
    EXPECT_EQ(address.text().size(), kAddressLimit);
    EXPECT_FALSE(address.add("r", u"9", tiny_euc_jp));
    EXPECT_EQ(address.dropped(), 2);
    EXPECT_EQ(address.text().back(), u'y');
}

// Four PC names of 80 Japanese characters fill more than the address holds: the names give way, the
// mode rates and the total always go in.
TEST(ResultAddress, LongNamesGiveWayToTheScores) {
    BenchResult result;
    result.pc = sample_pc();
    auto kanji = [](char16_t, uint8_t (&bytes)[2]) { bytes[0] = 0xC5; bytes[1] = 0xEC; return true; };
    result.pc.maker = result.pc.model = result.pc.processor = result.pc.displayChip = std::u16string(80, u'東');
    result.modes[0].score = 600;
    finish_result(result, kDefaultResultHost, kanji);
    EXPECT_LE(result.address.size(), kAddressLimit);
    size_t m = result.address.find(u"&m=100 0 0 0&r=");
    ASSERT_NE(m, std::u16string::npos) << "the scores were dropped";
    EXPECT_EQ(result.address.substr(m + 15), decimal(result.total));
}

// Frames a lost full-screen display did not show stay out of the figures, and the mode says so.
TEST(ResultFiles, FramesALostDisplayDidNotShowAreLeftOutAndNoted) {
    BenchResult result;
    result.pc = sample_pc();
    ModeRecord &mode = result.modes[3];
    mode.tested = true;
    mode.note = "1280 * 1024 unavailable: ran at 1024 * 768";
    mode.shots[1].frameMs = {10.0, 12.0};
    mode.shots[1].unshown = 40;
    mode.shots[4].unshown = 2;
    result.modes[0].note = "skipped";
    finish_result(result, kDefaultResultHost, nullptr);
    EXPECT_EQ(mode.note, "1280 * 1024 unavailable: ran at 1024 * 768; 42 frames not shown (display lost) left out");
    EXPECT_EQ(result.modes[0].note, "skipped");
    nlohmann::json json = nlohmann::json::parse(result_json(result));
    EXPECT_EQ(json["modes"][3]["frames_not_shown"], 42);
    EXPECT_EQ(json["modes"][3]["frames"]["frames"], 2);
    EXPECT_FALSE(json["modes"][0].contains("frames_not_shown"));
}

TEST(FrameStats, AveragesExtremesAndLows) {
    std::vector<double> frames(999, 10.0);
    frames.push_back(100.0);
    FrameStats stats = frame_stats(frames);
    EXPECT_EQ(stats.frames, 1000);
    EXPECT_DOUBLE_EQ(stats.totalMs, 10090.0);
    EXPECT_NEAR(stats.averageFps, 1000.0 * 1000 / 10090, 1e-9);
    EXPECT_DOUBLE_EQ(stats.minFrameMs, 10.0);
    EXPECT_DOUBLE_EQ(stats.maxFrameMs, 100.0);
    EXPECT_NEAR(stats.low01PercentFps, 10.0, 1e-9);                  // the one stall
    EXPECT_NEAR(stats.low1PercentFps, 1000.0 * 10 / (100 + 90), 1e-9); // the slowest ten frames

    FrameStats few = frame_stats({20.0, 40.0});
    EXPECT_NEAR(few.low1PercentFps, 25.0, 1e-9); // at least one frame counts
    EXPECT_EQ(frame_stats({}).frames, 0);
    EXPECT_EQ(frame_stats({}).averageFps, 0);
}

TEST(ResultFiles, JsonCarriesTheScreenFiguresAndCsvEveryFrame) {
    BenchResult result;
    result.started = "2026-12-08T21:53:37";
    result.pcKnown = true;
    result.pc = sample_pc();
    result.pc.maker = u"東京";
    for (int m = 0; m < kModeCount; ++m)
        result.modes[m].requested = benchmark_mode(m + 1, 1280, 1024);
    ModeRecord &mode3 = result.modes[2];
    mode3.tested = true;
    mode3.ran = DisplayMode{1280, 1024, false, 1, 0};
    mode3.note = "1024 * 768 not available; ran at the current screen size";
    for (int s = 0; s < kShotCount; ++s) {
        mode3.shots[s].rate = 48 + s;
        mode3.shots[s].frameMs = {20.0, 21.0, 19.5};
        mode3.score += mode3.shots[s].rate;
    }
    result.modes[0].note = "skipped";
    result.total = 777;
    result.address = u"https://x/benchmark/post_data.php?n=%C5%EC%B5%FE";

    nlohmann::json json = nlohmann::json::parse(result_json(result));
    EXPECT_EQ(json["total_score"], 777);
    EXPECT_EQ(json["pc"]["n"]["value"], "東京");
    EXPECT_EQ(json["modes"].size(), 4u);
    EXPECT_FALSE(json["modes"][0]["tested"]);
    EXPECT_FALSE(json["modes"][0].contains("shots"));
    const nlohmann::json &m3 = json["modes"][2];
    EXPECT_EQ(m3["score"], 48 + 49 + 50 + 51 + 52 + 53);
    EXPECT_EQ(m3["frame_rate"], (48 + 49 + 50 + 51 + 52 + 53) / 6);
    EXPECT_EQ(m3["ran"]["width"], 1280);
    EXPECT_EQ(m3["frames"]["frames"], 18);
    EXPECT_EQ(m3["shots"][5]["rate"], 53);
    EXPECT_EQ(m3["shots"][0]["max_frame_ms"], 21.0);
    EXPECT_EQ(json["result_address"], "https://x/benchmark/post_data.php?n=%C5%EC%B5%FE");

    std::string csv = frame_times_csv(result);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 18);
    EXPECT_NE(csv.find("3,6,3,19.500\n"), std::string::npos);
    EXPECT_EQ(csv_name_for(u"result\\20261208_215337.json"), u"result\\20261208_215337.csv");
    EXPECT_EQ(csv_name_for(u"runs.v2\\first"), u"runs.v2\\first.csv");
}

TEST(CommandLine, EmptyNameOrOptions) {
    Options empty = parse_command_line(u"  ");
    EXPECT_TRUE(empty.benchmark);
    EXPECT_FALSE(empty.unattended);
    EXPECT_EQ(empty.modes, 0xFu);

    Options aircraft = parse_command_line(u"hx21jcb");
    EXPECT_FALSE(aircraft.benchmark);
    EXPECT_EQ(aircraft.aircraft, u"hx21jcb");

    Options all = parse_command_line(u"/auto /MODES:1,3 /result:\"my runs\\a.json\"");
    EXPECT_TRUE(all.error.empty());
    EXPECT_TRUE(all.benchmark && all.unattended);
    EXPECT_EQ(all.modes, 0x5u);
    EXPECT_EQ(all.resultFile, u"my runs\\a.json");

    EXPECT_FALSE(parse_command_line(u"/modes:5").error.empty());
    EXPECT_FALSE(parse_command_line(u"/modes:").error.empty());
    EXPECT_FALSE(parse_command_line(u"/result:").error.empty());
    EXPECT_FALSE(parse_command_line(u"/autox").error.empty());
    EXPECT_FALSE(parse_command_line(u"/auto hx21ank").error.empty());
}

TEST(Text, Utf8RoundTrip) {
    std::u16string text = u"ＰＣ情報 é \U0001F600";
    EXPECT_EQ(widen(utf8(text)), text);
    EXPECT_EQ(utf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(widen("\xE3\x81"), u"\uFFFD\uFFFD");
}
