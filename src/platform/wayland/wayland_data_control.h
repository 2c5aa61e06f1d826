// SPDX-License-Identifier: GPL-3.0-or-later
// The Wayland selection through data-control: the selection's offers and our sources.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

struct wl_display;
struct wl_proxy;
struct wl_seat;

namespace nabrix {

class DataControlProtocol;
class WaylandConnection;

// One offer of the selection. Its types arrive before it becomes the selection; reads may
// be asked for from any thread until the selection moves on and the offer is invalidated.
class WaylandOffer {
public:
    WaylandOffer(wl_display* display, DataControlProtocol& protocol, wl_proxy* proxy);
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
    DataControlProtocol& m_protocol;
    wl_proxy* m_proxy;
    QList<QByteArray> m_mimeTypes;
};

using MimeRepresentations = QList<std::pair<QByteArray, QByteArray>>;

// Its events are handled on the connection's thread (the main thread): they are few and
// small, and the only work they cause (handing bytes to a pipe) never blocks. Reads run on
// the capture worker and only send requests.
class WaylandDataControl : public QObject {
    Q_OBJECT
public:
    // None when the compositor offers no data-control (nor a seat).
    static std::unique_ptr<WaylandDataControl>
    create(std::shared_ptr<WaylandConnection> connection);
    ~WaylandDataControl() override;
    WaylandDataControl(const WaylandDataControl&) = delete;
    WaylandDataControl& operator=(const WaylandDataControl&) = delete;

    // The offer that is the selection now; null when the clipboard is empty.
    std::shared_ptr<WaylandOffer> selection() const { return m_selection; }
    // Makes `representations` the selection, served until another client replaces it.
    void setSelection(const MimeRepresentations& representations);
    void clearSelection();

    // Called by the protocol listeners.
    void offerAnnounced(wl_proxy* proxy);
    void selectionAnnounced(wl_proxy* proxy);
    void primarySelectionAnnounced(wl_proxy* proxy);
    void sendRequested(wl_proxy* source, const char* mimeType, int fd);
    void sourceCancelled(wl_proxy* source);
    void deviceFinished();

Q_SIGNALS:
    // Another client's content, or nothing, became the selection; never our own writes.
    void selectionChanged(bool empty);
    // The compositor went away or broke the connection: nothing works any more.
    void connectionLost();

private:
    WaylandDataControl(std::shared_ptr<WaylandConnection> connection,
                       std::unique_ptr<DataControlProtocol> protocol, wl_seat* seat);
    void flush();
    void lose();
    std::shared_ptr<WaylandOffer> takeOffer(wl_proxy* proxy);

    std::shared_ptr<WaylandConnection> m_connection;
    std::unique_ptr<DataControlProtocol> m_protocol;
    wl_seat* m_seat;
    wl_proxy* m_device = nullptr;
    bool m_lost = false;
    // Offers announced but not yet made the selection.
    std::unordered_map<wl_proxy*, std::shared_ptr<WaylandOffer>> m_offers;
    std::shared_ptr<WaylandOffer> m_selection;
    // Our sources still alive, each with what it serves.
    std::unordered_map<wl_proxy*, MimeRepresentations> m_sources;
    // Selection changes we caused by clearing, not yet announced back to us.
    int m_pendingClears = 0;
};

} // namespace nabrix
