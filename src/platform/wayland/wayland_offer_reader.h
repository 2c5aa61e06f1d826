// SPDX-License-Identifier: GPL-3.0-or-later
// Reads one Wayland selection offer through pipes, on whatever thread asks.
#pragma once

#include "platform/target_reader.h"

#include <memory>

namespace nabrix {

class WaylandOffer;

// Each representation is asked for on the compositor connection and read from a
// non-blocking pipe, giving up on an owner that stays silent, sends more than the bounds
// allow, or when a stop is requested.
class WaylandOfferReader final : public TargetReader {
public:
    // A null offer reads as an empty clipboard.
    WaylandOfferReader(std::shared_ptr<WaylandOffer> offer, ClipboardReadBounds bounds);

private:
    QList<QByteArray> offeredTargets() const override { return m_mimeTypes; }
    std::optional<QByteArray> readTarget(const QByteArray& mimeType) const override;

    std::shared_ptr<WaylandOffer> m_offer;
    ClipboardReadBounds m_bounds;
    QList<QByteArray> m_mimeTypes;
    // An owner that let one request time out would only make every later one wait as long.
    mutable bool m_ownerStalled = false;
};

} // namespace nabrix
