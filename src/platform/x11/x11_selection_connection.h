// SPDX-License-Identifier: GPL-3.0-or-later
// A private X connection that asks the CLIPBOARD owner for one target at a time and waits
// for the answer itself, so that it can run on a worker thread with its own timeouts.
#pragma once

#include "platform/clipboard_source.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace nabrix {

class X11SelectionConnection {
public:
    // None when the display cannot be opened.
    static std::unique_ptr<X11SelectionConnection> open(const QByteArray& displayName,
                                                        ClipboardReadBounds bounds);
    ~X11SelectionConnection();
    X11SelectionConnection(const X11SelectionConnection&) = delete;
    X11SelectionConnection& operator=(const X11SelectionConnection&) = delete;

    // The names of the targets the owner offers; none when it did not answer.
    std::optional<QList<QByteArray>> targets();
    // The owner's bytes for `target`, read incrementally when it sends them so; none when it
    // refused, fell silent, vanished, or sent more than the bounds allow.
    std::optional<QByteArray> convert(const QByteArray& target);

    // An owner that let one request time out would only make every later one wait as long.
    bool ownerStalled() const { return m_ownerStalled; }

private:
    struct Property {
        std::uint32_t type = 0;
        std::uint8_t format = 0;
        QByteArray data;
    };

    X11SelectionConnection(xcb_connection_t* connection, ClipboardReadBounds bounds);
    bool createRequestor();
    std::optional<std::uint32_t> atom(const QByteArray& name);
    std::optional<Property> request(std::uint32_t target);
    std::optional<Property> takeProperty(std::uint32_t property);
    std::optional<Property> readIncrementally(std::uint32_t property, qsizetype announcedSize);
    bool waitForPropertyValue(std::uint32_t property);

    xcb_connection_t* m_connection;
    ClipboardReadBounds m_bounds;
    std::uint32_t m_window = 0;
    std::uint32_t m_clipboard = 0;
    std::uint32_t m_targets = 0;
    std::uint32_t m_incr = 0;
    std::uint32_t m_property = 0;
    bool m_ownerStalled = false;
};

} // namespace nabrix
