// SPDX-License-Identifier: GPL-3.0-or-later
// Ends the program once its display server is gone: the history saved, one line, status 1.
#pragma once

#include <functional>

namespace nabrix {

// Two connections notice the loss, in no fixed order: ours to the compositor, and Qt's to
// the X server (XWayland goes with the compositor). Qt ends the program itself right after
// warning that its connection broke, skipping the quit path; its warning is taken over
// here so that either way the history is saved and one line of ours is all that is said.
// One per process; Qt's messages go through it from construction to the end of the process.
class DisplayLoss {
public:
    // `save` finishes the history; it is called at most once, and never after destruction.
    explicit DisplayLoss(std::function<void()> save);
    ~DisplayLoss();
    DisplayLoss(const DisplayLoss&) = delete;
    DisplayLoss& operator=(const DisplayLoss&) = delete;

    // Our own connection broke: says so and ends the event loop with status 1 (the quit
    // path saves).
    void connectionLost();
};

} // namespace nabrix
