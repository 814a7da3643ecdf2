// The coalesced refresh requests of the session receiver: written while messages are
// dispatched and flushed to the UI once the receiver has been idle for 100 ms, so a burst of
// messages (the whole state snapshot among them) costs one repaint.
//
// Thread: session receiver only.
#pragma once

namespace zrt {

struct RefreshRequests {
    static constexpr int kNone = -1;
    static constexpr int kRepaint = 0;       // groups: repaint the groups pane
    static constexpr int kTableChanged = 1;  // groups: the GroupTable changed

    int groups = kNone;
    bool topPanel = false;
    bool playerList = false;

    // A repaint request never lowers a pending table change.
    void requestGroups(int value) {
        if (groups == kNone || value > groups) groups = value;
    }
    bool any() const { return groups != kNone || topPanel || playerList; }
    void clear() { *this = RefreshRequests{}; }
};

// How long the receiver waits for a message before it flushes the pending refreshes.
inline constexpr int kRefreshIdleMs = 100;

}  // namespace zrt
