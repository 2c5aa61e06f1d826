// SPDX-License-Identifier: GPL-3.0-or-later
// Reads one Wayland selection offer through pipes, on whatever thread asks.
#include "platform/wayland/wayland_offer_reader.h"

#include "platform/wayland/wayland_data_control.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace nabrix {

namespace {

using Clock = std::chrono::steady_clock;

class Pipe {
public:
    Pipe() { m_valid = ::pipe2(m_fds.data(), O_CLOEXEC | O_NONBLOCK) == 0; }
    ~Pipe()
    {
        closeWriteEnd();
        if (m_valid)
            ::close(m_fds[0]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool isValid() const { return m_valid; }
    int readEnd() const { return m_fds[0]; }
    int writeEnd() const { return m_fds[1]; }
    // The request took its own copy: ours must go, or the end of the data never shows.
    void closeWriteEnd()
    {
        if (m_valid && m_fds[1] >= 0)
            ::close(m_fds[1]);
        m_fds[1] = -1;
    }

private:
    std::array<int, 2> m_fds{-1, -1};
    bool m_valid = false;
};

} // namespace

WaylandOfferReader::WaylandOfferReader(std::shared_ptr<WaylandOffer> offer,
                                       ClipboardReadBounds bounds)
    : m_offer(std::move(offer))
    , m_bounds(std::move(bounds))
    , m_mimeTypes(m_offer ? m_offer->mimeTypes() : QList<QByteArray>())
{
}

std::optional<QByteArray> WaylandOfferReader::readTarget(const QByteArray& mimeType) const
{
    if (!m_mimeTypes.contains(mimeType) || m_ownerStalled || m_bounds.stop.stop_requested())
        return std::nullopt;
    Pipe pipe;
    if (!pipe.isValid() || !m_offer->receive(mimeType, pipe.writeEnd()))
        return std::nullopt;
    pipe.closeWriteEnd();

    QByteArray bytes;
    auto deadline = Clock::now() + clipboardStallTimeout;
    for (;;) {
        char buffer[65536];
        const ssize_t got = ::read(pipe.readEnd(), buffer, sizeof buffer);
        if (got == 0)
            return bytes;
        if (got > 0) {
            if (bytes.size() + got > m_bounds.maxBytes)
                return std::nullopt;
            bytes.append(buffer, got);
            deadline = Clock::now() + clipboardStallTimeout;
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return std::nullopt;
        if (m_bounds.stop.stop_requested())
            return std::nullopt;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            m_ownerStalled = true;
            return std::nullopt;
        }
        pollfd descriptor{pipe.readEnd(), POLLIN, 0};
        ::poll(&descriptor, 1, static_cast<int>(std::min(left, clipboardStopLatency).count()));
    }
}

} // namespace nabrix
