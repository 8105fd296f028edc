// Native tests of the benchmark's flow: which stage follows which, the skip rules, the exit codes,
// the result files' names, the shots' arithmetic and the results service's answers.
#include "bench_flow.h"
#include "bench_options.h"
#include "bench_result.h"
#include "bench_shots.h"
#include "bench_submit.h"

#include <gtest/gtest.h>

#include <vector>

using namespace bench;

namespace {

struct Step {
    Stage stage;
    int mode;
};

bool operator==(const Step &a, const Step &b) { return a.stage == b.stage && a.mode == b.mode; }

Step now(const Flow &flow) { return {flow.stage(), flow.mode()}; }

// Every stage a flow passes through, with the set-ups answered by `runnable` and the runs by `outcome`.
std::vector<Step> walk(Flow flow, ExplanationChoice choice, bool (*runnable)(int),
                       RunOutcome (*outcome)(int) = [](int) { return RunOutcome::Finished; }) {
    std::vector<Step> steps = {now(flow)};
    flow.explained(choice);
    for (int guard = 0; guard < 20 && flow.stage() != Stage::End; ++guard) {
        steps.push_back(now(flow));
        if (flow.stage() == Stage::SetUp)
            flow.set_up(runnable(flow.mode()));
        else if (flow.stage() == Stage::Run)
            flow.ran(outcome(flow.mode()));
        else
            flow.result_shown();
    }
    steps.push_back(now(flow));
    return steps;
}

bool all_runnable(int) { return true; }

} // namespace

TEST(Flow, StartRunsEverySelectedModeThenTheResult) {
    std::vector<Step> expected = {{Stage::Explanation, 0}, {Stage::SetUp, 1}, {Stage::Run, 1}, {Stage::SetUp, 3},
                                  {Stage::Run, 3},         {Stage::Result, 0}, {Stage::End, 0}};
    Flow flow(0x5); // /modes:1,3
    EXPECT_EQ(walk(flow, {ExplanationChoice::Start, 0}, all_runnable), expected);
}

TEST(Flow, ARowStartsAtItsModeAndUnrunnableModesAreSkipped) {
    // The third row starts at mode 3; mode 4 lacks its antialias level.
    std::vector<Step> expected = {{Stage::Explanation, 0}, {Stage::SetUp, 3}, {Stage::Run, 3},
                                  {Stage::SetUp, 4},       {Stage::Result, 0}, {Stage::End, 0}};
    EXPECT_EQ(walk(Flow(0xF), {ExplanationChoice::Row, 2}, [](int mode) { return mode != 4; }), expected);
    // A row whose modes are not selected goes straight to the result.
    Flow onlyFirst(0x1);
    onlyFirst.explained({ExplanationChoice::Row, 1});
    EXPECT_EQ(onlyFirst.stage(), Stage::Result);
}

TEST(Flow, AnEngineThatFailsInOneModeMovesOnButAStopEndsEverything) {
    Flow failing(0x3);
    failing.explained({ExplanationChoice::Start, 0});
    failing.set_up(true);
    failing.ran(RunOutcome::EngineFailed);
    EXPECT_EQ(now(failing), (Step{Stage::SetUp, 2}));
    EXPECT_FALSE(failing.stopped());

    Flow stopped(0xF);
    stopped.explained({ExplanationChoice::Start, 0});
    stopped.set_up(true);
    stopped.ran(RunOutcome::Finished);
    stopped.set_up(true);
    stopped.ran(RunOutcome::Stopped);
    EXPECT_EQ(stopped.stage(), Stage::End);
    EXPECT_TRUE(stopped.stopped());

    Flow quitAtStart(0xF);
    quitAtStart.explained({ExplanationChoice::Quit, 0});
    EXPECT_EQ(quitAtStart.stage(), Stage::End);
    EXPECT_TRUE(quitAtStart.stopped());

    Flow noEngine(0xF);
    noEngine.give_up();
    EXPECT_EQ(noEngine.stage(), Stage::End);
    EXPECT_FALSE(noEngine.stopped());
    noEngine.quit(); // closing the window afterwards stops nothing
    EXPECT_FALSE(noEngine.stopped());
}

TEST(ExitCode, UnattendedRunsSayWhatWentWrongClickedRunsEndWithZero) {
    Outcome fine = {true, false, true, false, false, false};
    EXPECT_EQ(exit_code(fine), kExitSuccess);
    Outcome o = fine;
    o.anyModeMeasured = false;
    EXPECT_EQ(exit_code(o), kExitNothingMeasured);
    o = fine;
    o.resultNotWritten = true;
    EXPECT_EQ(exit_code(o), kExitResultNotWritten);
    o.stopped = true;
    EXPECT_EQ(exit_code(o), kExitStopped) << "a stop outranks the file";
    o = fine;
    o.submitAsked = true;
    EXPECT_EQ(exit_code(o), kExitNotSubmitted);
    o.submitted = true;
    EXPECT_EQ(exit_code(o), kExitSuccess);
    Outcome clicked = {false, true, false, true, true, false};
    EXPECT_EQ(exit_code(clicked), kExitSuccess);
}

TEST(ResultFiles, TheSummaryAndTheFrameTimesNeverShareAName) {
    for (const char16_t *name : {u"run.csv", u"RUN.CSV", u"runs\\a.Csv"}) {
        Options options = parse_command_line(std::u16string(u"/auto /result:") + name);
        EXPECT_FALSE(options.error.empty()) << "a .csv summary would be overwritten by its frame times";
    }
    EXPECT_TRUE(parse_command_line(u"/result:run.csv.json").error.empty());
    EXPECT_EQ(csv_name_for(u"run.csv.json"), u"run.csv.csv");
    // Even a .csv name that reaches the writer keeps its summary.
    EXPECT_EQ(csv_name_for(u"C:\\x\\run.CSV"), u"C:\\x\\run.CSV.csv");

    EXPECT_EQ(result_file_path(u"", u"C:\\hx\\", u"C:\\hx\\result\\", u"20261209_101010"),
              u"C:\\hx\\result\\20261209_101010.json");
    EXPECT_EQ(result_file_path(u"", u"C:\\hx\\", u"", u"20261209_101010"), u"") << "no writable folder";
    EXPECT_EQ(result_file_path(u"runs\\a.json", u"C:\\hx\\", u"", u"x"), u"C:\\hx\\runs\\a.json");
    EXPECT_EQ(result_file_path(u"D:\\a.json", u"C:\\hx\\", u"", u"x"), u"D:\\a.json");
    EXPECT_EQ(result_file_path(u"\\\\server\\a.json", u"C:\\hx\\", u"", u"x"), u"\\\\server\\a.json");

    Options submit = parse_command_line(u"/auto /modes:1 /submit");
    EXPECT_TRUE(submit.error.empty());
    EXPECT_TRUE(submit.submit);
    EXPECT_FALSE(parse_command_line(u"/submitx").error.empty());
}

TEST(Shots, RangesStartingCamerasAndFrameValues) {
    double scripted = 0;
    for (const ShotRange &r : kShotRanges)
        scripted += r.end - r.start;
    EXPECT_EQ(scripted, 88000) << "the run's scripted time";

    ShotView first = shot_start_view(0);
    shot_frame_view(0, 30000, 0, 0, first);
    EXPECT_FLOAT_EQ(first.lens, 190); // zoomed in at the start, easing out over ten seconds
    EXPECT_FLOAT_EQ(first.a[0], 175);
    shot_frame_view(0, 40000.5, 0, 0, first);
    EXPECT_FLOAT_EQ(first.lens, 100);

    // Dragging in the third shot turns the view by 0.1 degree per unit; a downward drag zooms out.
    ShotView third = shot_start_view(2), nudged = third;
    shot_frame_view(2, 107500, 0, 0, third);
    shot_frame_view(2, 107500, 40, -20, nudged);
    EXPECT_FLOAT_EQ(nudged.a[0] - third.a[0], 4);
    EXPECT_FLOAT_EQ(nudged.lens - third.lens, 4);

    EXPECT_EQ(shot_frame_fade(0, 30000).transparency, 0);
    EXPECT_EQ(shot_frame_fade(0, 31500).transparency, 127);
    EXPECT_EQ(shot_frame_fade(0, 33000.5).depth, 0);
    EXPECT_FALSE(shot_frame_fade(5, 11999).set);
    EXPECT_EQ(shot_frame_fade(5, 15000).transparency, 0);
    EXPECT_EQ(shot_frame_fade(5, 16000).transparency, 0) << "clamped";

    // The engine note falls to 70 % two thirds through the fifth shot and ends at 85 %.
    EXPECT_EQ(engine_pitch(0), 100);
    EXPECT_EQ(engine_pitch(2.0f / 3), 70);
    EXPECT_EQ(engine_pitch(1), 85);
    EXPECT_FLOAT_EQ(yoke_angles(70000).e, -30);
    EXPECT_NEAR(yoke_angles(80000).e, 0, 1e-3);
}

// At thousands of frames a second every frame still counts: the rate is the shown frames over
// their measured time, never a whole-millisecond average.
TEST(Shots, RateIsFramesOverMeasuredTime) {
    ShotRecord fast;
    fast.frameMs.assign(40000, 0.25); // 10 s at 4000 frames a second
    EXPECT_EQ(shot_rate(fast), 4000);
    ShotRecord uneven;
    uneven.frameMs = {0.4, 0.6, 1.5, 2.5};
    EXPECT_EQ(shot_rate(uneven), 800);
    EXPECT_EQ(shot_rate(ShotRecord{}), 0);

    BenchResult result;
    result.pc.textureStages = 8;
    for (int s = 0; s < kShotCount; ++s) {
        result.modes[0].shots[s].frameMs.assign(100, 0.5);
        result.modes[0].score += shot_rate(result.modes[0].shots[s]);
    }
    result.modes[0].tested = true;
    finish_result(result, u"https://scores.example/", nullptr);
    EXPECT_EQ(result.modes[0].score, 12000);
    EXPECT_NE(result.address.find(u"&m=2000 0 0 0&r="), std::u16string::npos);
    EXPECT_EQ(result.address.rfind(u"https://scores.example/benchmark/post_data.php?a=", 0), 0u);
}

TEST(Submission, TheServiceAnswers) {
    Submission stored = read_answer(201, "/runs/42", "{}", u"http://127.0.0.1:8021/");
    EXPECT_TRUE(stored.accepted);
    EXPECT_EQ(stored.runAddress, u"http://127.0.0.1:8021/runs/42");
    Submission again = read_answer(200, "", R"({"id": 42, "url": "http://scores.example/runs/42"})", u"http://x");
    EXPECT_TRUE(again.accepted);
    EXPECT_EQ(again.runAddress, u"http://scores.example/runs/42");
    Submission refused = read_answer(400, "", R"({"error": "modes: expected 4 entries"})", u"http://x");
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.problem, u"the service answered 400: modes: expected 4 entries");
    EXPECT_EQ(read_answer(429, "", "<html>", u"http://x").problem, u"the service answered 429");
    EXPECT_FALSE(read_answer(201, "", "not json", u"http://x").accepted);
}
