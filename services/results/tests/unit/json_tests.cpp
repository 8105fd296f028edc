// Reading the result file: the viewer's own file (bench_result.cpp) is taken whole, and a file that
// does not match its format, or whose figures do not add up, is refused with the member at fault.
#include "address_run.h"
#include "json_run.h"
#include "viewer_address.h"

#include "bench_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace results;
using namespace results_test;
using nlohmann::json;

namespace {

json viewer_file() {
    bench::BenchResult result = sample_result();
    viewer_address(result); // sets the total as the result screen does
    return json::parse(bench::result_json(result));
}

std::string refusal(const std::string &body) {
    results::Run run;
    std::optional<std::string> error = run_from_result_json(body, run);
    return error ? *error : "";
}

std::string file_refusal(const json &file) { return refusal(file.dump()); }

} // namespace

TEST(ResultFile, TheViewersFileIsTakenWithItsFigures) {
    bench::BenchResult result = sample_result();
    std::u16string address = viewer_address(result);
    results::Run run;
    std::string body = bench::result_json(result);
    ASSERT_EQ(refusal(body), "");
    ASSERT_FALSE(run_from_result_json(body, run));
    EXPECT_EQ(run.value("n"), "東京電機");
    EXPECT_EQ(run.value("h"), " 2 4");
    ASSERT_TRUE(run.modes);
    EXPECT_EQ(*run.modes, (ModeRates{60, 0, 45, 0}));
    EXPECT_EQ(run.total, result.total);
    EXPECT_EQ(run.detailsKey.size(), 64u);
    EXPECT_FALSE(run.details.empty());

    // The address of the same run carries the same values, so both ways in name one run, unless a
    // name held a character that went as '?'.
    results::Run sent;
    ASSERT_FALSE(run_from_address(sent_query(address), sent));
    sent.pc["o"] = run.value("o");
    EXPECT_EQ(sent.pc, run.pc);
    EXPECT_EQ(sent.total, run.total);
}

TEST(ResultFile, TheSameFileGivesTheSameKeyWhateverItsLayout) {
    json file = viewer_file();
    results::Run a, b;
    ASSERT_FALSE(run_from_result_json(file.dump(2), a));
    ASSERT_FALSE(run_from_result_json(file.dump(), b));
    EXPECT_EQ(a.detailsKey, b.detailsKey);
    file["started"] = "2026-12-08T21:53:38";
    ASSERT_FALSE(run_from_result_json(file.dump(), b));
    EXPECT_NE(a.detailsKey, b.detailsKey);
}

TEST(ResultFile, FilesThatDoNotMatchTheFormatAreRefusedByMember) {
    const struct {
        void (*change)(json &);
        const char *reason;
    } cases[] = {
        {[](json &f) { f["program"] = "other"; }, "result.program"},
        {[](json &f) { f.erase("started"); }, "result.started is missing"},
        {[](json &f) { f["pc"] = nullptr; }, "engine never started"},
        {[](json &f) { f["pc"].erase("e"); }, "result.pc.e is missing"},
        {[](json &f) { f["pc"]["zz"] = f["pc"]["e"]; }, "keys the PC table does not have"},
        {[](json &f) { f["pc"]["c"]["value"] = "fast"; }, "result.pc.c.value is not a whole number"},
        {[](json &f) { f["pc"]["e"]["value"] = std::string(81, 'x'); }, "longer than 80"},
        {[](json &f) { f["pc"]["e"]["value"] = 5; }, "result.pc.e.value is not a string"},
        {[](json &f) { f["modes"].erase(3); }, "list of 4 modes"},
        {[](json &f) { f["modes"][0]["mode"] = 2; }, "modes[0].mode is not 1"},
        {[](json &f) { f["modes"][0]["shots"].erase(5); }, "list of 6 shots"},
        {[](json &f) { f["modes"][0]["shots"][2]["rate"] = 61; }, "not the sum of its shot rates"},
        {[](json &f) { f["modes"][0]["frame_rate"] = 61; }, "frame_rate is not the score divided by 6"},
        {[](json &f) { f["modes"][0]["frames"]["average_fps"] = -3; }, "frames.average_fps is not a figure"},
        {[](json &f) { f["modes"][0]["frames"]["frames"] = 1.5; }, "frames.frames is not a whole number"},
        {[](json &f) { f["modes"][0]["tested"] = "yes"; }, "tested is not true or false"},
        {[](json &f) { f["modes"][2]["score"] = 1e300; }, "score is not a whole number"},
        {[](json &f) { f["modes"][2]["score"] = 18446744073709551615ull; }, "score is not from 0 to"},
        {[](json &f) { f["total_score"] = f["total_score"].get<int>() + 1; }, "the mode scores give"},
        {[](json &f) { f["note"] = std::string(70 * 1024, 'x'); }, "larger than 64 KiB"},
    };
    for (const auto &c : cases) {
        json file = viewer_file();
        c.change(file);
        std::string reason = file_refusal(file);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << "wanted \"" << c.reason << "\", got \"" << reason << "\"";
    }
}

TEST(ResultFile, NotJsonTooDeepOrNotUtf8IsRefusedBeforeReading) {
    EXPECT_NE(refusal("").find("not JSON"), std::string::npos);
    EXPECT_NE(refusal("{\"program\": \"hx21app benchmark\"").find("not JSON"), std::string::npos);
    EXPECT_NE(refusal("{\"a\": \"\xC3\x28\"}").find("not JSON"), std::string::npos);
    EXPECT_NE(refusal(std::string(5000, '[') + std::string(5000, ']')).find("nests deeper"), std::string::npos);
    // Brackets inside strings are text, not nesting.
    EXPECT_EQ(refusal(std::string("[\"") + std::string(100, '[') + "\"]").find("nests deeper"), std::string::npos);
    EXPECT_NE(refusal("[1, 2]").find("result is not an object"), std::string::npos);
}
