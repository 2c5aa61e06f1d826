// SPDX-License-Identifier: GPL-3.0-or-later
// The Wayland selection through data-control: the selection's offers and our sources.
#include "platform/wayland/wayland_data_control.h"

#include "platform/clipboard_source.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_data_control_protocol.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <wayland-client.h>

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

} // namespace

WaylandOffer::WaylandOffer(wl_display* display, DataControlProtocol& protocol, wl_proxy* proxy)
    : m_display(display)
    , m_protocol(protocol)
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
    m_protocol.receive(m_proxy, mimeType.constData(), fd);
    // The owner only hears of the request once it has left our buffer.
    return wl_display_flush(m_display) >= 0 || errno == EAGAIN;
}

void WaylandOffer::invalidate()
{
    const std::lock_guard lock(m_mutex);
    if (m_proxy != nullptr)
        m_protocol.destroyOffer(m_proxy);
    m_proxy = nullptr;
}

std::unique_ptr<WaylandDataControl>
WaylandDataControl::create(std::shared_ptr<WaylandConnection> connection)
{
    auto* seat = static_cast<wl_seat*>(connection->bind(wl_seat_interface, 1));
    if (seat == nullptr)
        return nullptr;
    auto protocol = DataControlProtocol::bind(*connection);
    if (!protocol) {
        wl_seat_destroy(seat);
        return nullptr;
    }
    std::unique_ptr<WaylandDataControl> control(
        new WaylandDataControl(std::move(connection), std::move(protocol), seat));
    // The selection as it is at start arrives with this round trip.
    if (!control->m_connection->roundTrip())
        return nullptr;
    return control;
}

WaylandDataControl::WaylandDataControl(std::shared_ptr<WaylandConnection> connection,
                                       std::unique_ptr<DataControlProtocol> protocol, wl_seat* seat)
    : m_connection(std::move(connection))
    , m_protocol(std::move(protocol))
    , m_seat(seat)
{
    // A reader that closes its pipe before taking everything must not kill us.
    std::signal(SIGPIPE, SIG_IGN);
    QObject::connect(m_connection.get(), &WaylandConnection::lost, this, &WaylandDataControl::lose);
    m_device = m_protocol->getDevice(m_seat, this);
}

WaylandDataControl::~WaylandDataControl()
{
    // Readers on the worker may still hold offers: they must not reach the protocol after it.
    for (const auto& offer : m_offers)
        offer.second->invalidate();
    if (m_selection)
        m_selection->invalidate();
    for (const auto& source : m_sources)
        m_protocol->destroySource(source.first);
    m_protocol->destroyDevice(m_device);
    m_protocol.reset();
    wl_seat_destroy(m_seat);
    m_connection->flush();
}

void WaylandDataControl::flush()
{
    m_connection->flush();
}

void WaylandDataControl::lose()
{
    if (m_lost)
        return;
    m_lost = true;
    Q_EMIT connectionLost();
}

void WaylandDataControl::offerAnnounced(wl_proxy* proxy)
{
    auto offer = std::make_shared<WaylandOffer>(m_connection->display(), *m_protocol, proxy);
    m_protocol->listen(proxy, offer.get());
    m_offers[proxy] = std::move(offer);
}

std::shared_ptr<WaylandOffer> WaylandDataControl::takeOffer(wl_proxy* proxy)
{
    const auto found = m_offers.find(proxy);
    if (proxy == nullptr || found == m_offers.end())
        return nullptr;
    auto offer = std::move(found->second);
    m_offers.erase(found);
    return offer;
}

void WaylandDataControl::primarySelectionAnnounced(wl_proxy* proxy)
{
    // Only the clipboard is followed: the text merely selected is nobody's copy.
    if (auto offer = takeOffer(proxy))
        offer->invalidate();
}

void WaylandDataControl::selectionAnnounced(wl_proxy* proxy)
{
    if (m_selection)
        m_selection->invalidate();
    m_selection = takeOffer(proxy);
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
    wl_proxy* source = m_protocol->createSource(this);
    for (const auto& representation : representations)
        m_protocol->offer(source, representation.first.constData());
    m_protocol->offer(source, ownOfferMarker);
    m_sources[source] = representations;
    m_protocol->setSelection(m_device, source);
    flush();
}

void WaylandDataControl::clearSelection()
{
    if (m_lost)
        return;
    ++m_pendingClears;
    m_protocol->setSelection(m_device, nullptr);
    flush();
}

void WaylandDataControl::sendRequested(wl_proxy* source, const char* mimeType, int fd)
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

void WaylandDataControl::sourceCancelled(wl_proxy* source)
{
    m_sources.erase(source);
    m_protocol->destroySource(source);
}

void WaylandDataControl::deviceFinished()
{
    // The seat went away: the clipboard cannot be followed any more.
    lose();
}

} // namespace nabrix
