// SPDX-License-Identifier: GPL-3.0-or-later
// The data-control messages, in whichever of its two equal protocols the compositor speaks.
#pragma once

#include <memory>

struct wl_proxy;
struct wl_seat;

namespace nabrix {

class WaylandConnection;
class WaylandDataControl;
class WaylandOffer;

// ext-data-control-v1 and wlroots' data-control differ only in their interfaces' names: the
// client speaks both through this, every object handled as a plain proxy. Not thread-safe
// beyond what libwayland guarantees: requests may be sent from any thread.
class DataControlProtocol {
public:
    // The standard protocol where the compositor offers it, else wlroots'; none without
    // either. Holds the manager until destroyed.
    static std::unique_ptr<DataControlProtocol> bind(WaylandConnection& connection);
    virtual ~DataControlProtocol() = default;

    // The device's events and those of the sources made here go to `control`.
    virtual wl_proxy* getDevice(wl_seat* seat, WaylandDataControl* control) = 0;
    virtual wl_proxy* createSource(WaylandDataControl* control) = 0;
    // The offer's types go to `offer`.
    virtual void listen(wl_proxy* proxy, WaylandOffer* offer) = 0;

    virtual void offer(wl_proxy* source, const char* mimeType) = 0;
    // A null source empties the selection.
    virtual void setSelection(wl_proxy* device, wl_proxy* source) = 0;
    virtual void receive(wl_proxy* offer, const char* mimeType, int fd) = 0;

    virtual void destroyOffer(wl_proxy* offer) = 0;
    virtual void destroySource(wl_proxy* source) = 0;
    virtual void destroyDevice(wl_proxy* device) = 0;
};

} // namespace nabrix
