// The compact symbol text of a stored shortcut, such as "⌃⌥V".
#include "hotkey/shortcut_text.h"

#include "platform/hotkey_service.h"
#include "platform/keyboard_layout.h"

#include <array>

namespace nabrix {

QString shortcutDisplayString(std::uint32_t keyCode, std::uint32_t modifiers,
                              const KeyboardLayout& layout)
{
    if (keyCode == 0)
        return {};
    struct Symbol {
        std::uint32_t bit;
        char16_t text;
    };
    static constexpr std::array<Symbol, 4> symbols{{
        {HotKeyModifier::control, u'\u2303'},
        {HotKeyModifier::option, u'\u2325'},
        {HotKeyModifier::shift, u'\u21E7'},
        {HotKeyModifier::command, u'\u2318'},
    }};
    QString text;
    for (const Symbol& symbol : symbols) {
        if (modifiers & symbol.bit)
            text += QChar(symbol.text);
    }
    return text + layout.keyName(keyCode);
}

} // namespace nabrix
