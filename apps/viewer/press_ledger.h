// Key and button presses that the window's messages reported, weighed against what the engine's
// polling saw: a press and release that fell between two polls, which polling alone cannot see,
// reaches the command handler all the same, once; a press that polling saw is never queued again,
// however late the window's report of it is taken.
#pragma once

#include <stdint.h>

#include <vector>

class PressLedger {
public:
    static constexpr int kCodes = 320; // keys 1..255 and mouse buttons 256..319, as the engine numbers them
    // Polling that saw a key held this long before its message's time still counts as having seen
    // the press: the message clock and the poll clock are read at slightly different moments.
    static constexpr uint32_t kClockSlackMs = 20;

    // A press that the window saw go down at `timeMs` (the message's time), reported since the last poll.
    void noted(int code, uint32_t timeMs);
    // One poll at `pollMs`, with `isDown(code)` telling what polling sees held now. Returns the
    // reported presses that no poll saw held since they went down, each once.
    template <class IsDown> std::vector<int> poll(uint32_t pollMs, IsDown isDown)
    {
        for (int code = 1; code < kCodes; ++code)
            if (isDown(code)) {
                lastSeenDown_[code] = pollMs;
                seenDown_[code] = true;
            }
        return decide();
    }
    // Forgets every press reported so far.
    void forget() { reported_.clear(); }

private:
    struct Press {
        int code;
        uint32_t timeMs;
    };
    std::vector<int> decide();

    std::vector<Press> reported_;
    uint32_t lastSeenDown_[kCodes] = {};
    bool seenDown_[kCodes] = {};
};
