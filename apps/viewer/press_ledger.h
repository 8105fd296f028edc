// Key and button presses that the window's messages reported, weighed against what the engine's
// polling saw: a press and release that fell between two polls, which polling alone cannot see,
// reaches the command handler all the same, once; a press that polling saw is never queued again,
// however early or late the window's report of it is taken.
//
// Polling queues a press itself when it sees a code go down (up at one poll, down at the next). A
// reported press is matched against those transitions, each of which stands for one press: by
// order, not by clock, because the messages' times and the poll's clock drift apart under load.
// Either side may come first: the window's report can arrive a few milliseconds before the keyboard
// state that polling reads shows the key, so a report that finds no transition waits for polling
// to catch up before it counts as a tap that polling missed.
#pragma once

#include <stdint.h>

#include <vector>

class PressLedger {
public:
    static constexpr int kCodes = 320; // keys 1..255 and mouse buttons 256..319, as the engine numbers them
    // A transition that no report claimed within this many polls and milliseconds came from a press
    // the window never reports (a click on the caption): it must not stand for a later press.
    static constexpr uint32_t kUnclaimedPolls = 4;
    static constexpr uint32_t kUnclaimedMs = 1000;
    // A report that no transition matched by a later poll and this many milliseconds was a tap
    // between two polls. Long enough for the keyboard state to catch up with the window under load,
    // short enough that the tap still feels answered.
    static constexpr uint32_t kUnseenMs = 250;

    // A press that the window reported since the last poll.
    void noted(int code);
    // One poll at `pollMs`, with `isDown(code)` telling what polling sees held now. Returns the
    // reported presses that polling did not see, each once, in the order they were reported.
    template <class IsDown> std::vector<int> poll(uint32_t pollMs, IsDown isDown)
    {
        ++polls_;
        for (int code = 1; code < kCodes; ++code) {
            bool down = isDown(code);
            if (down && !wasDown_[code])
                transitions_[code].push_back(Sighting{code, polls_, pollMs});
            wasDown_[code] = down;
        }
        return decide(pollMs);
    }
    // True while a reported press is neither matched nor counted yet.
    bool undecided() const { return !incoming_.empty() || !reports_.empty(); }
    // Forgets every press reported so far.
    void forget()
    {
        incoming_.clear();
        reports_.clear();
    }

private:
    struct Sighting {
        int code;
        uint32_t poll;
        uint32_t timeMs;
    };
    std::vector<int> decide(uint32_t pollMs);

    std::vector<int> incoming_;                 // reported since the last poll
    std::vector<Sighting> reports_;             // unmatched, oldest first
    std::vector<Sighting> transitions_[kCodes]; // unclaimed, oldest first
    bool wasDown_[kCodes] = {};
    uint32_t polls_ = 0;
};
