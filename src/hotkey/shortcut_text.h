// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a stored shortcut in the desktop's words, such as "Ctrl+Alt+V".
#pragma once

#include <QString>
#include <cstdint>

namespace nabrix {

class KeyboardLayout;

// Empty for key code 0 (no shortcut). The modifier words come in the order Ctrl, Alt, Shift,
// Super, then the key: its name when it types no visible character, else the layout's text.
// Words and key names are the catalogue's, in the user's language.
QString shortcutDisplayString(std::uint32_t keyCode, std::uint32_t modifiers,
                              const KeyboardLayout& layout);

} // namespace nabrix
