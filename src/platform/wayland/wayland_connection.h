// SPDX-License-Identifier: GPL-3.0-or-later
// A Wayland connection of our own, dispatched on the main thread, and the globals it offers.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <memory>

struct wl_display;
struct wl_interface;
struct wl_registry;

namespace nabrix {

// The protocol clients on it (the clipboard, the toplevels) share one event queue, so the
// compositor's events reach them in the order it sent them: a window activated before a
// copy is known as active when the copy is announced.
class WaylandConnection : public QObject {
    Q_OBJECT
public:
    // None when no compositor answers on WAYLAND_DISPLAY.
    static std::shared_ptr<WaylandConnection> connect();
    ~WaylandConnection() override;
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return m_display; }
    bool offers(const char* interfaceName) const;
    // Binds the first global of `interface` at `version`; null when it is not offered (or
    // only older).
    void* bind(const wl_interface& interface, quint32 version);
    // Waits until the compositor has answered everything sent so far, handling its events.
    bool roundTrip();
    // Sends what is buffered; false once the connection is broken.
    bool flush();
    bool isLost() const { return m_lost; }

    // Called by the registry listener.
    void globalAnnounced(quint32 name, const char* interface, quint32 version);

Q_SIGNALS:
    // The compositor went away or broke the connection: nothing works any more.
    void lost();

private:
    struct Global {
        quint32 name;
        QByteArray interface;
        quint32 version;
    };

    explicit WaylandConnection(wl_display* display);
    void dispatch();
    void lose();

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    QList<Global> m_globals;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_lost = false;
};

} // namespace nabrix
