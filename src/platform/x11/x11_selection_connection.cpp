// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the CLIPBOARD selection over a private X connection: ConvertSelection, then the
// property, or the INCR protocol for owners that send large data in chunks.
#include "platform/x11/x11_selection_connection.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <poll.h>
#include <vector>
#include <xcb/xcb.h>

namespace nabrix {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds stallTimeout = clipboardStallTimeout;
constexpr std::chrono::milliseconds stopLatency = clipboardStopLatency;
// No honest owner offers more targets than this.
constexpr qsizetype maxTargets = 1024;

struct FreeDeleter {
    void operator()(void* pointer) const noexcept { std::free(pointer); }
};
template <typename T> using XcbPointer = std::unique_ptr<T, FreeDeleter>;

// The next event that `matches`, skipping others; none when the owner stayed silent for
// `stallTimeout` (then `timedOut` is set), when a stop is requested or the connection broke.
template <typename Matches>
XcbPointer<xcb_generic_event_t> waitForEvent(xcb_connection_t* connection,
                                             const std::stop_token& stop, Matches matches,
                                             bool& timedOut)
{
    const auto deadline = Clock::now() + stallTimeout;
    for (;;) {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection)) {
            XcbPointer<xcb_generic_event_t> event(raw);
            if (matches(*event))
                return event;
        }
        if (xcb_connection_has_error(connection) != 0 || stop.stop_requested())
            return nullptr;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            return nullptr;
        }
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&descriptor, 1, static_cast<int>(std::min(left, stopLatency).count()));
    }
}

std::uint8_t eventType(const xcb_generic_event_t& event)
{
    // The top bit only says the event came through SendEvent, as selection answers do.
    return event.response_type & 0x7f;
}

} // namespace

X11SelectionConnection::X11SelectionConnection(xcb_connection_t* connection,
                                               ClipboardReadBounds bounds)
    : m_connection(connection)
    , m_bounds(std::move(bounds))
{
}

X11SelectionConnection::~X11SelectionConnection()
{
    // Closing the connection also destroys the requestor window and its property.
    xcb_disconnect(m_connection);
}

std::unique_ptr<X11SelectionConnection> X11SelectionConnection::open(const QByteArray& displayName,
                                                                     ClipboardReadBounds bounds)
{
    xcb_connection_t* connection =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), nullptr);
    std::unique_ptr<X11SelectionConnection> self(
        new X11SelectionConnection(connection, std::move(bounds)));
    if (xcb_connection_has_error(connection) != 0 || !self->createRequestor())
        return nullptr;
    return self;
}

bool X11SelectionConnection::createRequestor()
{
    const std::array<const char*, 4> names{"CLIPBOARD", "TARGETS", "INCR", "NABRIX_SELECTION"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies.at(i) = xcb_intern_atom(m_connection, 0, std::strlen(names.at(i)), names.at(i));
    std::array<std::uint32_t*, names.size()> atoms{&m_clipboard, &m_targets, &m_incr, &m_property};
    bool interned = true;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const XcbPointer<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(m_connection, cookies.at(i), nullptr));
        interned = interned && reply != nullptr;
        *atoms.at(i) = reply ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!interned || screen == nullptr)
        return false;

    // An unmapped input-only window: the owner writes its answers to a property on it.
    m_window = xcb_generate_id(m_connection);
    const std::array<std::uint32_t, 1> events{XCB_EVENT_MASK_PROPERTY_CHANGE};
    const xcb_void_cookie_t created = xcb_create_window_checked(
        m_connection, 0, m_window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
        XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, events.data());
    const XcbPointer<xcb_generic_error_t> error(xcb_request_check(m_connection, created));
    return error == nullptr;
}

std::optional<std::uint32_t> X11SelectionConnection::atom(const QByteArray& name)
{
    const XcbPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, name.size(), name.constData()), nullptr));
    if (!reply || reply->atom == XCB_ATOM_NONE)
        return std::nullopt;
    return reply->atom;
}

std::optional<QList<QByteArray>> X11SelectionConnection::targets()
{
    const auto list = request(m_targets);
    if (!list || list->format != 32)
        return std::nullopt;
    const qsizetype count = std::min<qsizetype>(list->data.size() / 4, maxTargets);
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    cookies.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        std::uint32_t target = 0;
        std::memcpy(&target, list->data.constData() + i * 4, sizeof target);
        if (target != XCB_ATOM_NONE)
            cookies.push_back(xcb_get_atom_name(m_connection, target));
    }
    QList<QByteArray> names;
    for (const xcb_get_atom_name_cookie_t cookie : cookies) {
        const XcbPointer<xcb_get_atom_name_reply_t> reply(
            xcb_get_atom_name_reply(m_connection, cookie, nullptr));
        if (reply)
            names.append(QByteArray(xcb_get_atom_name_name(reply.get()),
                                    xcb_get_atom_name_name_length(reply.get())));
    }
    return names;
}

std::optional<QByteArray> X11SelectionConnection::convert(const QByteArray& target)
{
    const auto targetAtom = atom(target);
    if (!targetAtom)
        return std::nullopt;
    auto property = request(*targetAtom);
    if (!property)
        return std::nullopt;
    return std::move(property->data);
}

std::optional<X11SelectionConnection::Property>
X11SelectionConnection::request(std::uint32_t target)
{
    if (m_ownerStalled || m_bounds.stop.stop_requested())
        return std::nullopt;
    xcb_delete_property(m_connection, m_window, m_property);
    xcb_convert_selection(m_connection, m_window, m_clipboard, target, m_property,
                          XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    bool timedOut = false;
    const auto event = waitForEvent(
        m_connection, m_bounds.stop,
        [this, target](const xcb_generic_event_t& event) {
            if (eventType(event) != XCB_SELECTION_NOTIFY)
                return false;
            const auto& notify = reinterpret_cast<const xcb_selection_notify_event_t&>(event);
            return notify.requestor == m_window && notify.selection == m_clipboard &&
                   notify.target == target;
        },
        timedOut);
    m_ownerStalled = timedOut;
    if (!event)
        return std::nullopt;
    const auto& notify = reinterpret_cast<const xcb_selection_notify_event_t&>(*event);
    if (notify.property == XCB_NONE)
        return std::nullopt; // refused
    auto property = takeProperty(notify.property);
    if (!property || property->type != m_incr)
        return property;
    // The INCR value is a lower bound on the size, which lets the buffer grow once.
    std::uint32_t announced = 0;
    if (property->format == 32 && property->data.size() >= qsizetype(sizeof announced))
        std::memcpy(&announced, property->data.constData(), sizeof announced);
    return readIncrementally(notify.property, qsizetype(announced));
}

std::optional<X11SelectionConnection::Property>
X11SelectionConnection::takeProperty(std::uint32_t property)
{
    // One unit past the bound tells a value that is too large from one that just fits.
    const auto units = static_cast<std::uint32_t>(std::min<qsizetype>(
        m_bounds.maxBytes / 4 + 1, std::numeric_limits<std::uint32_t>::max() / 4));
    const XcbPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 1, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, units),
        nullptr));
    if (!reply)
        return std::nullopt;
    const int length = xcb_get_property_value_length(reply.get());
    if (reply->bytes_after != 0 || length > m_bounds.maxBytes) {
        // Deleted only when read to the end; an owner must not find it still there.
        xcb_delete_property(m_connection, m_window, property);
        return std::nullopt;
    }
    return Property{
        reply->type, reply->format,
        QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length)};
}

bool X11SelectionConnection::waitForPropertyValue(std::uint32_t property)
{
    bool timedOut = false;
    const auto event = waitForEvent(
        m_connection, m_bounds.stop,
        [this, property](const xcb_generic_event_t& event) {
            if (eventType(event) != XCB_PROPERTY_NOTIFY)
                return false;
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            return notify.window == m_window && notify.atom == property &&
                   notify.state == XCB_PROPERTY_NEW_VALUE;
        },
        timedOut);
    m_ownerStalled = timedOut;
    return event != nullptr;
}

std::optional<X11SelectionConnection::Property>
X11SelectionConnection::readIncrementally(std::uint32_t property, qsizetype announcedSize)
{
    // Deleting the INCR property (takeProperty did) asks for the first chunk; deleting each
    // chunk asks for the next; an empty chunk ends the transfer.
    Property whole;
    whole.data.reserve(std::min(announcedSize, m_bounds.maxBytes));
    for (;;) {
        if (!waitForPropertyValue(property))
            return std::nullopt;
        auto chunk = takeProperty(property);
        if (!chunk)
            return std::nullopt;
        if (chunk->data.isEmpty())
            return whole;
        if (chunk->data.size() > m_bounds.maxBytes - whole.data.size())
            return std::nullopt;
        whole.type = chunk->type;
        whole.format = chunk->format;
        whole.data.append(chunk->data);
    }
}

} // namespace nabrix
