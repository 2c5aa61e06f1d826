// The compact symbol text of a stored shortcut, such as "⌃⌥V".
#pragma once

#include <QString>
#include <cstdint>

namespace nabrix {

class KeyboardLayout;

// Empty for key code 0 (no shortcut). Modifiers are written control, option, shift, command.
QString shortcutDisplayString(std::uint32_t keyCode, std::uint32_t modifiers,
                              const KeyboardLayout& layout);

} // namespace nabrix
