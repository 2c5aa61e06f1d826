// SPDX-License-Identifier: GPL-3.0-or-later
// Names of keys in the user's current keyboard layout.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace nabrix {

// A key that types no visible character: shortcut texts call it by its name.
struct NamedKey {
    enum class Kind {
        Function,
        Space,
        Tab,
        Return,
        Escape,
        Backspace,
        Delete,
        Insert,
        Home,
        End,
        PageUp,
        PageDown,
        Left,
        Up,
        Right,
        Down,
        Print,
        Pause,
        Menu,
    };
    Kind kind = Kind::Space;
    // Which function key (F1 is 1); 0 for the other kinds.
    int number = 0;
    friend bool operator==(const NamedKey&, const NamedKey&) = default;
};

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The unshifted text of the key in the current layout, upper-cased, or "0x%X".
    virtual QString keyName(std::uint32_t keyCode) const = 0;
    // What the key is when its unshifted symbol in the current layout is one of the
    // named keys; none for keys that type a character and for unknown keys.
    virtual std::optional<NamedKey> namedKey(std::uint32_t keyCode) const = 0;
};

} // namespace nabrix
