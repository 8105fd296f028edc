// The viewer's command line: an aircraft folder name, nothing (the benchmark as the launcher starts
// it) or benchmark options, which begin with "/" and so can never be a folder name.
#pragma once

#include <string>

namespace bench {

struct Options {
    bool benchmark = false;     // false: the command line names an aircraft
    bool unattended = false;    // /auto: no clicks, no typewriter delays, exit code tells the outcome
    unsigned modes = 0xF;       // bit m-1 set: run mode m (/modes:1,2)
    std::u16string resultFile;  // /result:<file>; empty = result\<date-time>.json beside the program
    bool submit = false;        // /submit: the result goes to the results service as well
    std::u16string aircraft;    // viewer mode only
    std::u16string error;       // not empty: the command line was not understood
};

// Reads a command line without the program name.
Options parse_command_line(const std::u16string &commandLine);

} // namespace bench
