// SPDX-License-Identifier: GPL-3.0-or-later
// One system-wide key combination, grabbed from the desktop.
#pragma once

#include <QObject>
#include <cstdint>

namespace nabrix {

// Modifier mask stored in the settings.
namespace HotKeyModifier {
inline constexpr std::uint32_t command = 256; // Super
inline constexpr std::uint32_t shift = 512;
inline constexpr std::uint32_t option = 2048; // Alt
inline constexpr std::uint32_t control = 4096;
} // namespace HotKeyModifier

class HotKeyService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~HotKeyService() override = default;

    // Grabs keyCode (an X11 keycode) with the modifier mask above; false when refused.
    virtual bool registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) = 0;
    virtual void unregisterHotKey() = 0;

Q_SIGNALS:
    // A press of the registered combination, delivered on the main thread.
    void pressed();
};

} // namespace nabrix
