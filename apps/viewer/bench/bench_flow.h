// The benchmark's flow between its screens and its test runs: the named stages, which mode comes next
// (the modes not selected and the ones the PC cannot show are skipped), and the program's exit code.
// The screens only draw what a stage gives them; the viewer's application thread carries out the runs.
#pragma once

namespace bench {

enum class Stage {
    Explanation, // what the benchmark does; start, a row (a later first mode) or quit
    SetUp,       // the mode line before the test run of mode(); the mode may be skipped here
    Run,         // the test run of mode()
    Result,      // the PC table, the scores, the files and the address
    End,
};

// What the user chose on the explanation screen.
struct ExplanationChoice {
    enum Kind { Start, Row, Quit } kind;
    int row; // 0..3 for Row: the benchmark starts at mode row + 1
};

enum class RunOutcome { Finished, EngineFailed, Stopped };

class Flow {
public:
    explicit Flow(unsigned selectedModes); // bit m-1 set: mode m runs

    Stage stage() const { return stage_; }
    int mode() const { return mode_; } // 1..4 in SetUp and Run

    void explained(ExplanationChoice choice);
    // The set-up found the mode runnable (on to its run) or not (skipped).
    void set_up(bool runnable);
    void ran(RunOutcome outcome);
    void result_shown();
    // The user closed the window or pressed Escape outside a test run.
    void quit();
    // Nothing can be measured on this PC (no engine starts): the benchmark ends without a result.
    void give_up();
    // The user ended the benchmark before its result.
    bool stopped() const { return stopped_; }

private:
    // The set-up of the first selected mode from `mode` on, or the result.
    void set_up_from(int mode);
    void finish();

    unsigned selected_;
    Stage stage_ = Stage::Explanation;
    int mode_ = 0;
    bool stopped_ = false;
};

// Exit codes of the program; an unattended run (/auto) ends with one of them, a run that a person
// clicked through with 0 (bad options aside).
enum ExitCode {
    kExitSuccess = 0,
    kExitNothingMeasured = 1, // no mode could run
    kExitBadOptions = 2,
    kExitResultNotWritten = 3,
    kExitStopped = 4,         // Escape or the window closed before the result
    kExitNotSubmitted = 5,    // /submit: the results service refused the run or could not be reached
};

struct Outcome {
    bool unattended;
    bool stopped;
    bool anyModeMeasured;
    bool resultNotWritten; // the result files were due and could not be written
    bool submitAsked;
    bool submitted;
};
int exit_code(const Outcome &outcome);

} // namespace bench
