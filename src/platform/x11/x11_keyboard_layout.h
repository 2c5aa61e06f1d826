// SPDX-License-Identifier: GPL-3.0-or-later
// Key names from the X server's current keyboard layout, following layout switches.
#pragma once

#include "platform/keyboard_layout.h"

#include <QAbstractNativeEventFilter>
#include <memory>

struct xcb_connection_t;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace nabrix {

class X11KeyboardLayout final : public KeyboardLayout, public QAbstractNativeEventFilter {
public:
    // On the application's own X11 connection (its XKB events reach Qt's native event
    // filters); null without one or when the server has no usable XKB extension.
    static std::unique_ptr<X11KeyboardLayout> create();
    ~X11KeyboardLayout() override;

    QString keyName(std::uint32_t keyCode) const override;
    std::optional<NamedKey> namedKey(std::uint32_t keyCode) const override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct XkbDeleter {
        void operator()(xkb_context* context) const;
        void operator()(xkb_keymap* keymap) const;
        void operator()(xkb_state* state) const;
    };

    X11KeyboardLayout(xcb_connection_t* connection, std::uint8_t xkbEventBase);
    void selectXkbEvents();
    bool reloadKeymap();
    // The key's symbol without modifiers in the current group; none for unmapped keys.
    std::optional<std::uint32_t> unshiftedKeysym(std::uint32_t keyCode) const;

    xcb_connection_t* m_connection;
    std::uint8_t m_xkbEventBase;
    std::int32_t m_deviceId = -1;
    std::unique_ptr<xkb_context, XkbDeleter> m_context;
    std::unique_ptr<xkb_keymap, XkbDeleter> m_keymap;
    std::unique_ptr<xkb_state, XkbDeleter> m_state;
};

} // namespace nabrix
