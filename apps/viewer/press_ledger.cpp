// Presses reported by the window against presses seen by polling.
#include "press_ledger.h"

void PressLedger::noted(int code)
{
    if (code > 0 && code < kCodes)
        incoming_.push_back(code);
}

std::vector<int> PressLedger::decide(uint32_t pollMs)
{
    for (int code : incoming_)
        reports_.push_back(Sighting{code, polls_, pollMs});
    incoming_.clear();
    // Tick counts wrap after 49 days: ages are differences.
    for (std::vector<Sighting> &seen : transitions_)
        while (!seen.empty() && polls_ - seen.front().poll > kUnclaimedPolls &&
               pollMs - seen.front().timeMs > kUnclaimedMs)
            seen.erase(seen.begin());
    std::vector<int> missed;
    std::vector<Sighting> waiting;
    for (const Sighting &report : reports_) {
        std::vector<Sighting> &seen = transitions_[report.code];
        if (!seen.empty())
            seen.erase(seen.begin());
        else if (polls_ != report.poll && pollMs - report.timeMs >= kUnseenMs)
            missed.push_back(report.code);
        else
            waiting.push_back(report);
    }
    reports_.swap(waiting);
    return missed;
}
