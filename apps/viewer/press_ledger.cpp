// Presses reported by the window against presses seen by polling.
#include "press_ledger.h"

void PressLedger::noted(int code)
{
    if (code > 0 && code < kCodes)
        reported_.push_back(code);
}

std::vector<int> PressLedger::decide(uint32_t pollMs)
{
    // Tick counts wrap after 49 days: ages are differences.
    for (std::vector<Transition> &seen : transitions_)
        while (!seen.empty() && polls_ - seen.front().poll > kUnclaimedPolls &&
               pollMs - seen.front().timeMs > kUnclaimedMs)
            seen.erase(seen.begin());
    std::vector<int> missed;
    for (int code : reported_) {
        std::vector<Transition> &seen = transitions_[code];
        if (seen.empty())
            missed.push_back(code);
        else
            seen.erase(seen.begin());
    }
    reported_.clear();
    return missed;
}
