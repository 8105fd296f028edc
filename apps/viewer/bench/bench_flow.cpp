// The benchmark's flow and exit codes.
#include "bench_flow.h"

#include "bench_modes.h"

namespace bench {

Flow::Flow(unsigned selectedModes) : selected_(selectedModes) {}

void Flow::set_up_from(int mode) {
    for (; mode <= kModeCount; ++mode) {
        if ((selected_ >> (mode - 1)) & 1) {
            stage_ = Stage::SetUp;
            mode_ = mode;
            return;
        }
    }
    stage_ = Stage::Result;
    mode_ = 0;
}

void Flow::explained(ExplanationChoice choice) {
    switch (choice.kind) {
    case ExplanationChoice::Start: set_up_from(1); break;
    case ExplanationChoice::Row: set_up_from(choice.row + 1); break;
    case ExplanationChoice::Quit: quit(); break;
    }
}

void Flow::set_up(bool runnable) {
    if (runnable)
        stage_ = Stage::Run;
    else
        set_up_from(mode_ + 1);
}

void Flow::ran(RunOutcome outcome) {
    if (outcome == RunOutcome::Stopped)
        quit();
    else
        set_up_from(mode_ + 1);
}

void Flow::result_shown() { finish(); }

void Flow::quit() {
    if (stage_ != Stage::End)
        stopped_ = true;
    finish();
}

void Flow::give_up() { finish(); }

void Flow::finish() {
    stage_ = Stage::End;
    mode_ = 0;
}

int exit_code(const Outcome &o) {
    if (!o.unattended)
        return kExitSuccess;
    if (o.stopped)
        return kExitStopped;
    if (o.resultNotWritten)
        return kExitResultNotWritten;
    if (!o.anyModeMeasured)
        return kExitNothingMeasured;
    if (o.submitAsked && !o.submitted)
        return kExitNotSubmitted;
    return kExitSuccess;
}

} // namespace bench
