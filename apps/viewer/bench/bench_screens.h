// The benchmark's screens on the window, each drawing what its stage gives it: the explanation with
// its choice, the mode line before a test run, the skip message, and the result screen drawn from
// the finished result record.
#pragma once

#include "bench_flow.h"
#include "bench_modes.h"
#include "bench_result.h"

#include <string>

namespace bench {

// The explanation and the user's choice (every choice at once when unattended).
ExplanationChoice explanation_screen(bool unattended);
// The PC could not be measured: why, for five seconds (none when unattended) before the benchmark ends.
void no_engine_screen(bool unattended);

// The set-up of a mode: its mode line after a second; then, when it cannot run here, the skip
// message; else the wide-monitor note before a full-screen run. `unattended` leaves out the pauses.
void mode_line_screen(const DisplayMode &shown, bool unattended);
void skip_screen(bool unattended);
void wide_monitor_screen(bool unattended);

// What the result screen says about its file and its address beyond the figures.
struct ResultNotes {
    std::u16string resultFile;    // empty: it could not be written
    std::u16string submittedRun;  // the run's address at the results service, when /submit gave one
    std::u16string submitProblem; // why /submit failed, when it did
};
// The result screen's figures: the PC table, the modes, the total.
void result_screen(const BenchResult &result, bool unattended);
// Its last lines, once the file is written: where the file went and what the service said. Unattended
// the screen then stays three seconds; else its buttons wait for a choice: true when the user chose to
// send the result.
bool result_screen_end(const ResultNotes &notes, bool unattended);
// The result page could not be opened: the reason, for a moment.
void cannot_send_screen(const std::u16string &reason);

} // namespace bench
