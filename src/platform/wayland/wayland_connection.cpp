// SPDX-License-Identifier: GPL-3.0-or-later
// A Wayland connection of our own, dispatched on the main thread, and the globals it offers.
#include "platform/wayland/wayland_connection.h"

#include <cerrno>
#include <wayland-client.h>

namespace nabrix {

namespace {

void registryGlobal(void* data, wl_registry* /*registry*/, uint32_t name, const char* interface,
                    uint32_t version)
{
    static_cast<WaylandConnection*>(data)->globalAnnounced(name, interface, version);
}

void registryGlobalRemove(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

const wl_registry_listener registryListener{registryGlobal, registryGlobalRemove};

} // namespace

std::shared_ptr<WaylandConnection> WaylandConnection::connect()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return nullptr;
    std::shared_ptr<WaylandConnection> connection(new WaylandConnection(display));
    connection->m_registry = wl_display_get_registry(display);
    wl_registry_add_listener(connection->m_registry, &registryListener, connection.get());
    if (!connection->roundTrip())
        return nullptr;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display)
    : m_display(display)
    , m_notifier(
          std::make_unique<QSocketNotifier>(wl_display_get_fd(display), QSocketNotifier::Read))
{
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this,
                     &WaylandConnection::dispatch);
}

WaylandConnection::~WaylandConnection()
{
    m_notifier.reset();
    if (m_registry != nullptr)
        wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void WaylandConnection::globalAnnounced(quint32 name, const char* interface, quint32 version)
{
    m_globals.append(Global{name, QByteArray(interface), version});
}

bool WaylandConnection::offers(const char* interfaceName) const
{
    return std::any_of(m_globals.cbegin(), m_globals.cend(),
                       [&](const Global& global) { return global.interface == interfaceName; });
}

void* WaylandConnection::bind(const wl_interface& interface, quint32 version)
{
    for (const Global& global : std::as_const(m_globals)) {
        if (global.interface == interface.name && global.version >= version)
            return wl_registry_bind(m_registry, global.name, &interface, version);
    }
    return nullptr;
}

bool WaylandConnection::roundTrip()
{
    if (m_lost)
        return false;
    if (wl_display_roundtrip(m_display) < 0) {
        lose();
        return false;
    }
    return true;
}

bool WaylandConnection::flush()
{
    if (m_lost)
        return false;
    if (wl_display_flush(m_display) < 0 && errno != EAGAIN) {
        lose();
        return false;
    }
    return true;
}

void WaylandConnection::dispatch()
{
    if (m_lost)
        return;
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0)
            return lose();
    }
    if (wl_display_flush(m_display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(m_display);
        return lose();
    }
    if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0)
        return lose();
}

void WaylandConnection::lose()
{
    if (m_lost)
        return;
    m_lost = true;
    m_notifier->setEnabled(false);
    Q_EMIT lost();
}

} // namespace nabrix
