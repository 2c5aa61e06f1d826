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
        return catalogue::text("settings.hotkey.key.function", QString::number(key.number));
    case Kind::Space:
        return catalogue::text("settings.hotkey.key.space");
    case Kind::Tab:
        return catalogue::text("settings.hotkey.key.tab");
    case Kind::Return:
        return catalogue::text("settings.hotkey.key.return");
    case Kind::Escape:
        return catalogue::text("settings.hotkey.key.escape");
    case Kind::Backspace:
        return catalogue::text("settings.hotkey.key.backspace");
    case Kind::Delete:
        return catalogue::text("settings.hotkey.key.delete");
    case Kind::Insert:
        return catalogue::text("settings.hotkey.key.insert");
    case Kind::Home:
        return catalogue::text("settings.hotkey.key.home");
    case Kind::End:
        return catalogue::text("settings.hotkey.key.end");
    case Kind::PageUp:
        return catalogue::text("settings.hotkey.key.pageUp");
    case Kind::PageDown:
        return catalogue::text("settings.hotkey.key.pageDown");
    case Kind::Left:
        return catalogue::text("settings.hotkey.key.left");
    case Kind::Up:
        return catalogue::text("settings.hotkey.key.up");
    case Kind::Right:
        return catalogue::text("settings.hotkey.key.right");
    case Kind::Down:
        return catalogue::text("settings.hotkey.key.down");
    case Kind::Print:
        return catalogue::text("settings.hotkey.key.print");
    case Kind::Pause:
        return catalogue::text("settings.hotkey.key.pause");
    case Kind::Menu:
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
        {HotKeyModifier::control, "settings.hotkey.modifier.ctrl"},
        {HotKeyModifier::option, "settings.hotkey.modifier.alt"},
        {HotKeyModifier::shift, "settings.hotkey.modifier.shift"},
        {HotKeyModifier::command, "settings.hotkey.modifier.super"},
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
