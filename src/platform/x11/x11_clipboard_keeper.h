// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard-manager role on X11: the CLIPBOARD_MANAGER selection and XFixes owner events.
#pragma once

#include "platform/clipboard_keeper.h"

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace nabrix {

class X11ClipboardKeeper final : public ClipboardKeeper, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // On the application's own X11 connection, whose events pass through Qt's native event
    // filters; null without one or without XFixes.
    static std::unique_ptr<X11ClipboardKeeper> create();
    ~X11ClipboardKeeper() override;

    bool claim() override;
    void release() override;
    void finishSave(bool saved) override;
    void contentRecorded() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Atoms {
        std::uint32_t clipboard = 0;
        std::uint32_t manager = 0;
        std::uint32_t saveTargets = 0;
        std::uint32_t managerMessage = 0;
    };
    struct SaveRequest {
        std::uint32_t requestor;
        std::uint32_t property;
        std::uint32_t time;
    };

    X11ClipboardKeeper(xcb_connection_t* connection, std::uint32_t root, std::uint32_t window,
                       std::uint8_t xfixesSelectionNotify, Atoms atoms);
    bool holdsRole() const;
    void answer(const SaveRequest& request, std::uint32_t target, std::uint32_t property);

    xcb_connection_t* m_connection;
    std::uint32_t m_root;
    std::uint32_t m_window;
    std::uint8_t m_xfixesSelectionNotify;
    Atoms m_atoms;
    bool m_claimed = false;
    std::optional<SaveRequest> m_pendingSave;
    // Counts the owners that took the clipboard, as our own stream of XFixes events saw them.
    quint64 m_ownerGeneration = 0;
    std::optional<quint64> m_recordedGeneration;
};

} // namespace nabrix
