// SPDX-License-Identifier: GPL-3.0-or-later
// A Wayland connection of our own speaking data-control: the selection's offers and our sources.
#include "platform/wayland/wayland_data_control.h"

#include "platform/clipboard_source.h"

#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wlr-data-control-unstable-v1-client.h>

namespace nabrix {

namespace {

// Offered beside our content so that we know our own selection when it is announced back.
constexpr char ownOfferMarker[] = "application/x-nabrix-own-offer";

// Hands `bytes` to a reader's pipe as fast as it takes them, without ever waiting on it;
// gives up on a reader that takes nothing for the stall timeout.
class PipeWriter : public QObject {
public:
    PipeWriter(int fd, QByteArray bytes, QObject* parent)
        : QObject(parent)
        , m_fd(fd)
        , m_bytes(std::move(bytes))
        , m_notifier(fd, QSocketNotifier::Write)
    {
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        connect(&m_notifier, &QSocketNotifier::activated, this, &PipeWriter::write);
        m_stall.setSingleShot(true);
        m_stall.setInterval(clipboardStallTimeout);
        connect(&m_stall, &QTimer::timeout, this, &QObject::deleteLater);
        m_stall.start();
        write();
    }
    ~PipeWriter() override { ::close(m_fd); }

private:
    void write()
    {
        while (m_written < m_bytes.size()) {
            const ssize_t written = ::write(m_fd, m_bytes.constData() + m_written,
                                            static_cast<size_t>(m_bytes.size() - m_written));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0 && errno == EAGAIN) {
                m_stall.start();
                return;
            }
            if (written <= 0)
                break;
            m_written += written;
        }
        m_notifier.setEnabled(false);
        deleteLater();
    }

    int m_fd;
    QByteArray m_bytes;
    qsizetype m_written = 0;
    QSocketNotifier m_notifier;
    QTimer m_stall;
};

WaylandDataControl* self(void* data)
{
    return static_cast<WaylandDataControl*>(data);
}

void offerMimeType(void* data, zwlr_data_control_offer_v1* /*offer*/, const char* mimeType)
{
    static_cast<WaylandOffer*>(data)->addMimeType(QByteArray(mimeType));
}

const zwlr_data_control_offer_v1_listener offerListener{offerMimeType};

void deviceDataOffer(void* data, zwlr_data_control_device_v1* /*device*/,
                     zwlr_data_control_offer_v1* offer)
{
    self(data)->offerAnnounced(offer);
}

void deviceSelection(void* data, zwlr_data_control_device_v1* /*device*/,
                     zwlr_data_control_offer_v1* offer)
{
    self(data)->selectionAnnounced(offer);
}

void deviceFinished(void* data, zwlr_data_control_device_v1* /*device*/)
{
    self(data)->deviceFinished();
}

const zwlr_data_control_device_v1_listener deviceListener{deviceDataOffer, deviceSelection,
                                                          deviceFinished};

void sourceSend(void* data, zwlr_data_control_source_v1* source, const char* mimeType, int fd)
{
    self(data)->sendRequested(source, mimeType, fd);
}

void sourceCancelled(void* data, zwlr_data_control_source_v1* source)
{
    self(data)->sourceCancelled(source);
}

const zwlr_data_control_source_v1_listener sourceListener{sourceSend, sourceCancelled};

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version)
{
    self(data)->globalAnnounced(registry, name, interface, version);
}

void registryGlobalRemove(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

const wl_registry_listener registryListener{registryGlobal, registryGlobalRemove};

} // namespace

WaylandOffer::WaylandOffer(wl_display* display, zwlr_data_control_offer_v1* proxy)
    : m_display(display)
    , m_proxy(proxy)
{
}

WaylandOffer::~WaylandOffer()
{
    invalidate();
}

QList<QByteArray> WaylandOffer::mimeTypes() const
{
    const std::lock_guard lock(m_mutex);
    return m_mimeTypes;
}

void WaylandOffer::addMimeType(QByteArray mimeType)
{
    const std::lock_guard lock(m_mutex);
    m_mimeTypes.append(std::move(mimeType));
}

bool WaylandOffer::receive(const QByteArray& mimeType, int fd)
{
    const std::lock_guard lock(m_mutex);
    if (m_proxy == nullptr)
        return false;
    zwlr_data_control_offer_v1_receive(m_proxy, mimeType.constData(), fd);
    // The owner only hears of the request once it has left our buffer.
    return wl_display_flush(m_display) >= 0 || errno == EAGAIN;
}

void WaylandOffer::invalidate()
{
    const std::lock_guard lock(m_mutex);
    if (m_proxy != nullptr)
        zwlr_data_control_offer_v1_destroy(m_proxy);
    m_proxy = nullptr;
}

std::unique_ptr<WaylandDataControl> WaylandDataControl::connect()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return nullptr;
    std::unique_ptr<WaylandDataControl> control(new WaylandDataControl(display));
    if (!control->bind())
        return nullptr;
    return control;
}

WaylandDataControl::WaylandDataControl(wl_display* display)
    : m_display(display)
{
    // A reader that closes its pipe before taking everything must not kill us.
    std::signal(SIGPIPE, SIG_IGN);
}

WaylandDataControl::~WaylandDataControl()
{
    m_notifier.reset();
    m_offers.clear();
    if (m_selection)
        m_selection->invalidate();
    for (const auto& source : m_sources)
        zwlr_data_control_source_v1_destroy(source.first);
    if (m_device != nullptr)
        zwlr_data_control_device_v1_destroy(m_device);
    if (m_manager != nullptr)
        zwlr_data_control_manager_v1_destroy(m_manager);
    if (m_seat != nullptr)
        wl_seat_destroy(m_seat);
    if (m_registry != nullptr)
        wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

bool WaylandDataControl::bind()
{
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    if (wl_display_roundtrip(m_display) < 0 || m_manager == nullptr || m_seat == nullptr)
        return false;
    m_device = zwlr_data_control_manager_v1_get_data_device(m_manager, m_seat);
    zwlr_data_control_device_v1_add_listener(m_device, &deviceListener, this);
    // The selection as it is at start arrives with this round trip.
    if (wl_display_roundtrip(m_display) < 0)
        return false;
    m_notifier =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this,
                     &WaylandDataControl::dispatch);
    return true;
}

void WaylandDataControl::globalAnnounced(wl_registry* registry, quint32 name, const char* interface,
                                         quint32 /*version*/)
{
    if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0 &&
        m_manager == nullptr) {
        m_manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && m_seat == nullptr) {
        m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void WaylandDataControl::dispatch()
{
    if (m_lost)
        return;
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0)
            return lose();
    }
    if (!flush()) {
        wl_display_cancel_read(m_display);
        return lose();
    }
    if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0)
        return lose();
}

bool WaylandDataControl::flush()
{
    return wl_display_flush(m_display) >= 0 || errno == EAGAIN;
}

void WaylandDataControl::lose()
{
    if (m_lost)
        return;
    m_lost = true;
    m_notifier->setEnabled(false);
    Q_EMIT connectionLost();
}

void WaylandDataControl::offerAnnounced(zwlr_data_control_offer_v1* proxy)
{
    auto offer = std::make_shared<WaylandOffer>(m_display, proxy);
    zwlr_data_control_offer_v1_add_listener(proxy, &offerListener, offer.get());
    m_offers[proxy] = std::move(offer);
}

void WaylandDataControl::selectionAnnounced(zwlr_data_control_offer_v1* proxy)
{
    if (m_selection)
        m_selection->invalidate();
    m_selection.reset();
    if (proxy != nullptr) {
        const auto found = m_offers.find(proxy);
        if (found != m_offers.end()) {
            m_selection = found->second;
            m_offers.erase(found);
        }
    }
    if (!m_selection) {
        if (m_pendingClears > 0) {
            --m_pendingClears;
            return;
        }
        Q_EMIT selectionChanged(true);
        return;
    }
    if (m_selection->mimeTypes().contains(QByteArray(ownOfferMarker)))
        return;
    Q_EMIT selectionChanged(false);
}

void WaylandDataControl::setSelection(const MimeRepresentations& representations)
{
    if (m_lost)
        return;
    zwlr_data_control_source_v1* source =
        zwlr_data_control_manager_v1_create_data_source(m_manager);
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, this);
    for (const auto& representation : representations)
        zwlr_data_control_source_v1_offer(source, representation.first.constData());
    zwlr_data_control_source_v1_offer(source, ownOfferMarker);
    m_sources[source] = representations;
    zwlr_data_control_device_v1_set_selection(m_device, source);
    if (!flush())
        lose();
}

void WaylandDataControl::clearSelection()
{
    if (m_lost)
        return;
    ++m_pendingClears;
    zwlr_data_control_device_v1_set_selection(m_device, nullptr);
    if (!flush())
        lose();
}

void WaylandDataControl::sendRequested(zwlr_data_control_source_v1* source, const char* mimeType,
                                       int fd)
{
    const auto found = m_sources.find(source);
    QByteArray bytes;
    if (found != m_sources.end()) {
        for (const auto& representation : found->second) {
            if (representation.first == mimeType)
                bytes = representation.second;
        }
    }
    // Owns the descriptor from here, and closes it when done.
    new PipeWriter(fd, std::move(bytes), this);
}

void WaylandDataControl::sourceCancelled(zwlr_data_control_source_v1* source)
{
    m_sources.erase(source);
    zwlr_data_control_source_v1_destroy(source);
}

void WaylandDataControl::deviceFinished()
{
    // The seat went away: the clipboard cannot be followed any more.
    lose();
}

} // namespace nabrix
