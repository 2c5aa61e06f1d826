// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a stored shortcut in the desktop's words, such as "Ctrl+Alt+V".
#include "hotkey/shortcut_text.h"

#include "i18n/text_catalogue.h"
#include "platform/hotkey_service.h"
#include "platform/keyboard_layout.h"

#include <QStringList>
#include <array>

namespace nabrix {

namespace {

QString nameOf(const NamedKey& key)
{
    using Kind = NamedKey::Kind;
    switch (key.kind) {
    case Kind::Function:
        //: Function key %1 in a shortcut such as Ctrl+F5.
        //% "F%1"
        return catalogue::text("settings.hotkey.key.function").arg(key.number);
    case Kind::Space:
        //% "Space"
        return catalogue::text("settings.hotkey.key.space");
    case Kind::Tab:
        //% "Tab"
        return catalogue::text("settings.hotkey.key.tab");
    case Kind::Return:
        //% "Enter"
        return catalogue::text("settings.hotkey.key.return");
    case Kind::Escape:
        //% "Esc"
        return catalogue::text("settings.hotkey.key.escape");
    case Kind::Backspace:
        //% "Backspace"
        return catalogue::text("settings.hotkey.key.backspace");
    case Kind::Delete:
        //% "Delete"
        return catalogue::text("settings.hotkey.key.delete");
    case Kind::Insert:
        //% "Insert"
        return catalogue::text("settings.hotkey.key.insert");
    case Kind::Home:
        //% "Home"
        return catalogue::text("settings.hotkey.key.home");
    case Kind::End:
        //% "End"
        return catalogue::text("settings.hotkey.key.end");
    case Kind::PageUp:
        //% "Page Up"
        return catalogue::text("settings.hotkey.key.pageUp");
    case Kind::PageDown:
        //% "Page Down"
        return catalogue::text("settings.hotkey.key.pageDown");
    case Kind::Left:
        //% "Left"
        return catalogue::text("settings.hotkey.key.left");
    case Kind::Up:
        //% "Up"
        return catalogue::text("settings.hotkey.key.up");
    case Kind::Right:
        //% "Right"
        return catalogue::text("settings.hotkey.key.right");
    case Kind::Down:
        //% "Down"
        return catalogue::text("settings.hotkey.key.down");
    case Kind::Print:
        //: The name of a key on the keyboard, shown in a shortcut such as Ctrl+Print.
        //% "Print"
        return catalogue::text("settings.hotkey.key.print");
    case Kind::Pause:
        //: The name of a key on the keyboard, shown in a shortcut such as Ctrl+Pause.
        //% "Pause"
        return catalogue::text("settings.hotkey.key.pause");
    case Kind::Menu:
        //: The name of a key on the keyboard, shown in a shortcut such as Ctrl+Menu.
        //% "Menu"
        return catalogue::text("settings.hotkey.key.menu");
    }
    return {};
}

} // namespace

QString shortcutDisplayString(std::uint32_t keyCode, std::uint32_t modifiers,
                              const KeyboardLayout& layout)
{
    if (keyCode == 0)
        return {};
    struct Modifier {
        std::uint32_t bit;
        const char* word;
    };
    static constexpr std::array<Modifier, 4> order{{
        //% "Ctrl"
        {HotKeyModifier::control, QT_TRID_NOOP("settings.hotkey.modifier.ctrl")},
        //% "Alt"
        {HotKeyModifier::option, QT_TRID_NOOP("settings.hotkey.modifier.alt")},
        //% "Shift"
        {HotKeyModifier::shift, QT_TRID_NOOP("settings.hotkey.modifier.shift")},
        //% "Super"
        {HotKeyModifier::command, QT_TRID_NOOP("settings.hotkey.modifier.super")},
    }};
    QStringList words;
    for (const Modifier& modifier : order) {
        if (modifiers & modifier.bit)
            words.append(catalogue::text(modifier.word));
    }
    const std::optional<NamedKey> named = layout.namedKey(keyCode);
    words.append(named ? nameOf(*named) : layout.keyName(keyCode));
    return words.join(QLatin1Char('+'));
}

} // namespace nabrix
