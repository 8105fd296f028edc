// Presses reported by the window against presses seen by polling.
#include "press_ledger.h"

void PressLedger::noted(int code, uint32_t timeMs)
{
    if (code > 0 && code < kCodes)
        reported_.push_back({code, timeMs});
}

std::vector<int> PressLedger::decide()
{
    std::vector<int> missed;
    for (const Press &p : reported_) {
        // Tick counts wrap after 49 days: compare by difference.
        bool seen = seenDown_[p.code] && (int32_t)(lastSeenDown_[p.code] + kClockSlackMs - p.timeMs) >= 0;
        if (!seen)
            missed.push_back(p.code);
    }
    reported_.clear();
    return missed;
}
