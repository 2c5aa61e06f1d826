// SPDX-License-Identifier: GPL-3.0-or-later
// Synthesised keystrokes into whichever window has the keyboard focus.
#pragma once

namespace nabrix {

class KeySynthesizer {
public:
    virtual ~KeySynthesizer() = default;

    // Whether keystrokes can be synthesised at all.
    virtual bool isTrusted() const = 0;
    // Asks the system to let us synthesise keys, where it has a way to ask.
    virtual void requestTrust() = 0;
    // The paste keystroke (Ctrl+V), after releasing modifiers the user still holds.
    virtual void postPaste() = 0;
};

} // namespace nabrix
