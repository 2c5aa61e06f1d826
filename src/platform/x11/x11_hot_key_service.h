// SPDX-License-Identifier: GPL-3.0-or-later
// The global shortcut as a passive key grab on the X11 root window.
#pragma once

#include "platform/hotkey_service.h"

#include <QAbstractNativeEventFilter>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace nabrix {

class X11HotKeyService final : public HotKeyService, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // On the application's own X11 connection; null without one.
    static std::unique_ptr<X11HotKeyService> create();

    // Presses are seen only when `connection` is the application's own (its events pass
    // through Qt's native event filters); on any other connection the grab still holds.
    X11HotKeyService(xcb_connection_t* connection, std::uint32_t rootWindow,
                     QObject* parent = nullptr);
    ~X11HotKeyService() override;

    bool registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) override;
    void unregisterHotKey() override;

    // Server time of the latest press: the user action that may move the focus to us.
    std::optional<std::uint32_t> lastPressTimestamp() const { return m_lastPressTimestamp; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        std::uint8_t keycode;
        std::uint16_t mask;    // the X11 modifier mask of the combination
        std::uint16_t numLock; // NumLock's modifier bit, 0 without a NumLock key
    };

    void ungrab(const Grab& grab);

    xcb_connection_t* m_connection;
    std::uint32_t m_rootWindow;
    std::optional<Grab> m_grab;
    bool m_keyHeld = false;
    std::optional<std::uint32_t> m_lastReleaseTimestamp;
    std::optional<std::uint32_t> m_lastPressTimestamp;
};

} // namespace nabrix
