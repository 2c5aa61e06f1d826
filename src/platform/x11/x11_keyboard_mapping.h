// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot of the server's core keyboard and modifier mappings.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace nabrix {

class X11KeyboardMapping {
public:
    // None when the server does not answer.
    static std::optional<X11KeyboardMapping> read(xcb_connection_t* connection);

    // A keycode that types `keysym`, preferring one where it needs no modifier.
    std::optional<std::uint8_t> keycodeOf(std::uint32_t keysym) const;
    // The modifier bit (ShiftMask ... Mod5Mask) a key with one of `keysyms` is bound to, or 0.
    std::uint16_t modifierMaskOf(std::initializer_list<std::uint32_t> keysyms) const;
    // Keycodes bound to a modifier that are not lock keys (Caps, Shift, Num or Scroll Lock).
    std::vector<std::uint8_t> modifierKeycodes() const;

private:
    bool hasKeysym(std::uint8_t keycode, std::uint32_t keysym) const;
    bool isLockKey(std::uint8_t keycode) const;

    std::uint8_t m_minKeycode = 0;
    int m_keysymsPerKeycode = 0;
    std::vector<std::uint32_t> m_keysyms;
    int m_keycodesPerModifier = 0;
    std::vector<std::uint8_t> m_modifierKeycodes; // eight rows, Shift first
};

} // namespace nabrix
