// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot of the server's core keyboard and modifier mappings.
#include "platform/x11/x11_keyboard_mapping.h"

#include <X11/keysym.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace nabrix {

namespace {

struct FreeDeleter {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

} // namespace

std::optional<X11KeyboardMapping> X11KeyboardMapping::read(xcb_connection_t* connection)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const std::uint8_t first = setup->min_keycode;
    const std::uint8_t count = setup->max_keycode - setup->min_keycode + 1;
    const auto keyboardCookie = xcb_get_keyboard_mapping(connection, first, count);
    const auto modifierCookie = xcb_get_modifier_mapping(connection);
    const Reply<xcb_get_keyboard_mapping_reply_t> keyboard(
        xcb_get_keyboard_mapping_reply(connection, keyboardCookie, nullptr));
    const Reply<xcb_get_modifier_mapping_reply_t> modifiers(
        xcb_get_modifier_mapping_reply(connection, modifierCookie, nullptr));
    if (!keyboard || !modifiers)
        return std::nullopt;

    X11KeyboardMapping mapping;
    mapping.m_minKeycode = first;
    mapping.m_keysymsPerKeycode = keyboard->keysyms_per_keycode;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(keyboard.get());
    mapping.m_keysyms.assign(keysyms,
                             keysyms + xcb_get_keyboard_mapping_keysyms_length(keyboard.get()));
    mapping.m_keycodesPerModifier = modifiers->keycodes_per_modifier;
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(modifiers.get());
    mapping.m_modifierKeycodes.assign(
        keycodes, keycodes + xcb_get_modifier_mapping_keycodes_length(modifiers.get()));
    return mapping;
}

bool X11KeyboardMapping::hasKeysym(std::uint8_t keycode, std::uint32_t keysym) const
{
    if (keycode < m_minKeycode || m_keysymsPerKeycode == 0)
        return false;
    const std::size_t begin = std::size_t(keycode - m_minKeycode) * m_keysymsPerKeycode;
    if (begin + m_keysymsPerKeycode > m_keysyms.size())
        return false;
    const auto row = m_keysyms.cbegin() + std::ptrdiff_t(begin);
    return std::find(row, row + m_keysymsPerKeycode, keysym) != row + m_keysymsPerKeycode;
}

std::optional<std::uint8_t> X11KeyboardMapping::keycodeOf(std::uint32_t keysym) const
{
    if (m_keysymsPerKeycode == 0)
        return std::nullopt;
    std::optional<std::uint8_t> anyColumn;
    for (std::size_t index = 0; index < m_keysyms.size(); ++index) {
        if (m_keysyms[index] != keysym)
            continue;
        const auto keycode = std::uint8_t(m_minKeycode + index / m_keysymsPerKeycode);
        // Column 0 is the first group's first level: the key types it without Shift.
        if (index % m_keysymsPerKeycode == 0)
            return keycode;
        if (!anyColumn)
            anyColumn = keycode;
    }
    return anyColumn;
}

std::uint16_t X11KeyboardMapping::modifierMaskOf(std::initializer_list<std::uint32_t> keysyms) const
{
    for (std::size_t index = 0; index < m_modifierKeycodes.size(); ++index) {
        const std::uint8_t keycode = m_modifierKeycodes[index];
        if (keycode == 0)
            continue;
        for (const std::uint32_t keysym : keysyms) {
            if (hasKeysym(keycode, keysym))
                return std::uint16_t(1u << (index / m_keycodesPerModifier));
        }
    }
    return 0;
}

bool X11KeyboardMapping::isLockKey(std::uint8_t keycode) const
{
    return hasKeysym(keycode, XK_Caps_Lock) || hasKeysym(keycode, XK_Shift_Lock) ||
           hasKeysym(keycode, XK_Num_Lock) || hasKeysym(keycode, XK_Scroll_Lock);
}

std::vector<std::uint8_t> X11KeyboardMapping::modifierKeycodes() const
{
    std::vector<std::uint8_t> keycodes;
    for (const std::uint8_t keycode : m_modifierKeycodes) {
        // Releasing a lock key could toggle its lock, so those are left alone.
        if (keycode != 0 && !isLockKey(keycode) &&
            std::find(keycodes.cbegin(), keycodes.cend(), keycode) == keycodes.cend())
            keycodes.push_back(keycode);
    }
    return keycodes;
}

} // namespace nabrix
