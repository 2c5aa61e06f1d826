// SPDX-License-Identifier: GPL-3.0-or-later
// A Wayland connection of our own speaking data-control: the selection's offers and our sources.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;

namespace nabrix {

// One offer of the selection. Its types arrive before it becomes the selection; reads may
// be asked for from any thread until the selection moves on and the offer is invalidated.
class WaylandOffer {
public:
    WaylandOffer(wl_display* display, zwlr_data_control_offer_v1* proxy);
    ~WaylandOffer();
    WaylandOffer(const WaylandOffer&) = delete;
    WaylandOffer& operator=(const WaylandOffer&) = delete;

    QList<QByteArray> mimeTypes() const;
    void addMimeType(QByteArray mimeType);
    // Asks the owner to write its `mimeType` bytes into `fd` (ours stays open); false once
    // the offer is gone.
    bool receive(const QByteArray& mimeType, int fd);
    // Destroys the proxy; later receives fail.
    void invalidate();

private:
    mutable std::mutex m_mutex;
    wl_display* m_display;
    zwlr_data_control_offer_v1* m_proxy;
    QList<QByteArray> m_mimeTypes;
};

using MimeRepresentations = QList<std::pair<QByteArray, QByteArray>>;

// Dispatched on the thread that made it (the main thread) through a socket notifier on the
// display's descriptor: the events are few and small, and the only work they cause (handing
// bytes to a pipe) never blocks. Reads run on the capture worker and only send requests.
class WaylandDataControl : public QObject {
    Q_OBJECT
public:
    // None when no compositor answers or it offers no data-control.
    static std::unique_ptr<WaylandDataControl> connect();
    ~WaylandDataControl() override;

    // The offer that is the selection now; null when the clipboard is empty.
    std::shared_ptr<WaylandOffer> selection() const { return m_selection; }
    // Makes `representations` the selection, served until another client replaces it.
    void setSelection(const MimeRepresentations& representations);
    void clearSelection();

    // Called by the protocol listeners.
    void offerAnnounced(zwlr_data_control_offer_v1* proxy);
    void selectionAnnounced(zwlr_data_control_offer_v1* proxy);
    void sendRequested(zwlr_data_control_source_v1* source, const char* mimeType, int fd);
    void sourceCancelled(zwlr_data_control_source_v1* source);
    void deviceFinished();
    void globalAnnounced(wl_registry* registry, quint32 name, const char* interface,
                         quint32 version);

Q_SIGNALS:
    // Another client's content, or nothing, became the selection; never our own writes.
    void selectionChanged(bool empty);
    // The compositor went away or broke the connection: nothing works any more.
    void connectionLost();

private:
    explicit WaylandDataControl(wl_display* display);
    bool bind();
    void dispatch();
    bool flush();
    void lose();

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwlr_data_control_manager_v1* m_manager = nullptr;
    zwlr_data_control_device_v1* m_device = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_lost = false;
    // Offers announced but not yet made the selection.
    std::unordered_map<zwlr_data_control_offer_v1*, std::shared_ptr<WaylandOffer>> m_offers;
    std::shared_ptr<WaylandOffer> m_selection;
    // Our sources still alive, each with what it serves.
    std::unordered_map<zwlr_data_control_source_v1*, MimeRepresentations> m_sources;
    // Selection changes we caused by clearing, not yet announced back to us.
    int m_pendingClears = 0;
};

} // namespace nabrix
