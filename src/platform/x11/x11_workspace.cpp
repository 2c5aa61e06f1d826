// SPDX-License-Identifier: GPL-3.0-or-later
// The frontmost application on X11 (the EWMH active window) and its desktop entry.
#include "platform/x11/x11_workspace.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QList>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <X11/Xlib.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <poll.h>

namespace nabrix {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The server answers property requests within a millisecond; one that stalls must not
// freeze the main thread, where the frontmost application is sampled after each copy.
constexpr std::chrono::milliseconds replyTimeout{100};
// Active window, the window it is transient for, their leaders: never a long chain.
constexpr int maxWindowsVisited = 4;

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeDeleter>;

// Waits for the reply to `sequence` until `deadline`; none on error or time-out. Qt's
// event thread reads the connection too, so the socket is only polled briefly between
// looks into xcb's reply queue.
void* awaitReply(xcb_connection_t* connection, unsigned int sequence,
                 SteadyClock::time_point deadline)
{
    const int fd = xcb_get_file_descriptor(connection);
    for (;;) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(connection, sequence, &reply, &error) != 0) {
            std::free(error);
            return reply;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0) {
            xcb_discard_reply(connection, sequence);
            return nullptr;
        }
        pollfd readable{fd, POLLIN, 0};
        ::poll(&readable, 1, static_cast<int>(std::min<long>(left.count(), 2)));
    }
}

QByteArray propertyBytes(const PropertyReply& reply)
{
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

std::optional<quint32> propertyWindow(const PropertyReply& reply)
{
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    const quint32 window = *static_cast<const quint32*>(xcb_get_property_value(reply.get()));
    return window != XCB_WINDOW_NONE ? std::optional<quint32>(window) : std::nullopt;
}

std::optional<QString> nonEmpty(QString text)
{
    text = text.trimmed();
    return text.isEmpty() ? std::nullopt : std::optional<QString>(std::move(text));
}

std::optional<QString> utf8Property(const PropertyReply& reply)
{
    QByteArray bytes = propertyBytes(reply);
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    return nonEmpty(QString::fromUtf8(bytes));
}

// _KDE_NET_WM_DESKTOP_FILE names the entry with or without its ".desktop".
std::optional<QString> desktopFileProperty(const PropertyReply& reply)
{
    auto id = utf8Property(reply);
    if (id && id->endsWith(QLatin1String(".desktop")))
        id = nonEmpty(id->chopped(8));
    return id;
}

// WM_CLASS holds "instance\0class\0" in Latin-1.
std::optional<QString> windowClassProperty(const PropertyReply& reply)
{
    const QList<QByteArray> parts = propertyBytes(reply).split('\0');
    if (parts.size() < 2)
        return std::nullopt;
    return nonEmpty(QString::fromLatin1(parts.at(1)));
}

class WindowProperties {
public:
    enum Slot {
        GtkApplicationId,
        KdeDesktopFile,
        WindowClass,
        TransientFor,
        ClientLeader,
        SlotCount
    };

    // Sends every request at once so one window costs one round trip.
    WindowProperties(xcb_connection_t* connection, quint32 window,
                     const std::array<xcb_atom_t, SlotCount>& atoms,
                     SteadyClock::time_point deadline)
    {
        std::array<xcb_get_property_cookie_t, SlotCount> cookies{};
        for (int slot = 0; slot < SlotCount; ++slot)
            cookies[slot] = xcb_get_property(connection, 0, window, atoms[slot],
                                             XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
        xcb_flush(connection);
        for (int slot = 0; slot < SlotCount; ++slot)
            m_replies[slot].reset(static_cast<xcb_get_property_reply_t*>(
                awaitReply(connection, cookies[slot].sequence, deadline)));
    }

    const PropertyReply& operator[](Slot slot) const { return m_replies[slot]; }

private:
    std::array<PropertyReply, SlotCount> m_replies;
};

std::optional<xcb_atom_t> internAtom(xcb_connection_t* connection, const char* name,
                                     SteadyClock::time_point deadline)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_flush(connection);
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(
        static_cast<xcb_intern_atom_reply_t*>(awaitReply(connection, cookie.sequence, deadline)));
    if (!reply || reply->atom == XCB_ATOM_NONE)
        return std::nullopt;
    return reply->atom;
}

} // namespace

std::unique_ptr<X11Workspace> X11Workspace::create()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || x11->display() == nullptr)
        return nullptr;
    xcb_connection_t* connection = x11->connection();

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int skip = XDefaultScreen(x11->display()); skip > 0 && screens.rem > 0; --skip)
        xcb_screen_next(&screens);
    if (screens.rem <= 0)
        return nullptr;

    const auto deadline = SteadyClock::now() + replyTimeout;
    const auto activeWindow = internAtom(connection, "_NET_ACTIVE_WINDOW", deadline);
    const auto gtkApplicationId = internAtom(connection, "_GTK_APPLICATION_ID", deadline);
    const auto kdeDesktopFile = internAtom(connection, "_KDE_NET_WM_DESKTOP_FILE", deadline);
    const auto clientLeader = internAtom(connection, "WM_CLIENT_LEADER", deadline);
    if (!activeWindow || !gtkApplicationId || !kdeDesktopFile || !clientLeader)
        return nullptr;
    return std::unique_ptr<X11Workspace>(
        new X11Workspace(connection, screens.data->root,
                         Atoms{*activeWindow, *gtkApplicationId, *kdeDesktopFile, *clientLeader}));
}

X11Workspace::X11Workspace(xcb_connection_t* connection, quint32 rootWindow, const Atoms& atoms)
    : m_connection(connection)
    , m_rootWindow(rootWindow)
    , m_atoms(atoms)
    , m_ownIdBase(xcb_get_setup(connection)->resource_id_base)
    , m_ownIdMask(xcb_get_setup(connection)->resource_id_mask)
{
}

bool X11Workspace::isOwnWindow(quint32 window) const
{
    return (window & ~m_ownIdMask) == m_ownIdBase;
}

std::optional<quint32> X11Workspace::activeWindow() const
{
    const auto cookie = xcb_get_property(m_connection, 0, m_rootWindow, m_atoms.activeWindow,
                                         XCB_GET_PROPERTY_TYPE_ANY, 0, 1);
    xcb_flush(m_connection);
    const PropertyReply reply(static_cast<xcb_get_property_reply_t*>(
        awaitReply(m_connection, cookie.sequence, SteadyClock::now() + replyTimeout)));
    const auto window = propertyWindow(reply);
    return window != m_rootWindow ? window : std::nullopt;
}

std::optional<QString> X11Workspace::frontmostApplicationId() const
{
    // A window manager may go on naming our window after it hid (sway's XWayland does):
    // copies made then are not ours either.
    const auto active = activeWindow();
    if (active && isOwnWindow(*active))
        return m_lastOtherApplication;
    m_lastOtherApplication = active ? applicationOfWindow(*active) : std::nullopt;
    return m_lastOtherApplication;
}

std::optional<QString> X11Workspace::applicationOfWindow(quint32 window) const
{
    const std::array<xcb_atom_t, WindowProperties::SlotCount> atoms{
        m_atoms.gtkApplicationId, m_atoms.kdeDesktopFile, XCB_ATOM_WM_CLASS,
        XCB_ATOM_WM_TRANSIENT_FOR, m_atoms.clientLeader};
    QList<quint32> pending{window};
    QList<quint32> visited;
    while (!pending.isEmpty() && visited.size() < maxWindowsVisited) {
        const quint32 next = pending.takeFirst();
        if (visited.contains(next) || next == m_rootWindow)
            continue;
        visited.append(next);

        const WindowProperties properties(m_connection, next, atoms,
                                          SteadyClock::now() + replyTimeout);
        if (auto id = utf8Property(properties[WindowProperties::GtkApplicationId]))
            return id;
        if (auto id = desktopFileProperty(properties[WindowProperties::KdeDesktopFile]))
            return id;
        if (auto id = windowClassProperty(properties[WindowProperties::WindowClass]))
            return id;
        for (const auto slot : {WindowProperties::TransientFor, WindowProperties::ClientLeader}) {
            if (const auto related = propertyWindow(properties[slot]))
                pending.append(*related);
        }
    }
    return std::nullopt;
}

std::optional<QString> X11Workspace::applicationName(const QString& id) const
{
    return m_entries.name(id);
}

QIcon X11Workspace::applicationIcon(const QString& id) const
{
    return m_entries.icon(id);
}

bool X11Workspace::isInstalled(const QString& id) const
{
    return m_entries.contains(id);
}

} // namespace nabrix
