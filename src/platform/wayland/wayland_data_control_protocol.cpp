// SPDX-License-Identifier: GPL-3.0-or-later
// The data-control messages, in whichever of its two equal protocols the compositor speaks.
#include "platform/wayland/wayland_data_control_protocol.h"

#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_data_control.h"

#include <QByteArray>
#include <ext-data-control-v1-client.h>
#include <wayland-client.h>
#include <wlr-data-control-unstable-v1-client.h>

namespace nabrix {

namespace {

// The generated API of each protocol under one set of names.
struct ExtDataControl {
    using Manager = ext_data_control_manager_v1;
    using Device = ext_data_control_device_v1;
    using Source = ext_data_control_source_v1;
    using Offer = ext_data_control_offer_v1;
    using DeviceListener = ext_data_control_device_v1_listener;
    using SourceListener = ext_data_control_source_v1_listener;
    using OfferListener = ext_data_control_offer_v1_listener;
    static const wl_interface& managerInterface() { return ext_data_control_manager_v1_interface; }
    static constexpr auto getDataDevice = ext_data_control_manager_v1_get_data_device;
    static constexpr auto createDataSource = ext_data_control_manager_v1_create_data_source;
    static constexpr auto destroyManager = ext_data_control_manager_v1_destroy;
    static constexpr auto addDeviceListener = ext_data_control_device_v1_add_listener;
    static constexpr auto setSelection = ext_data_control_device_v1_set_selection;
    static constexpr auto destroyDevice = ext_data_control_device_v1_destroy;
    static constexpr auto addSourceListener = ext_data_control_source_v1_add_listener;
    static constexpr auto offer = ext_data_control_source_v1_offer;
    static constexpr auto destroySource = ext_data_control_source_v1_destroy;
    static constexpr auto addOfferListener = ext_data_control_offer_v1_add_listener;
    static constexpr auto receive = ext_data_control_offer_v1_receive;
    static constexpr auto destroyOffer = ext_data_control_offer_v1_destroy;
};

struct WlrDataControl {
    using Manager = zwlr_data_control_manager_v1;
    using Device = zwlr_data_control_device_v1;
    using Source = zwlr_data_control_source_v1;
    using Offer = zwlr_data_control_offer_v1;
    using DeviceListener = zwlr_data_control_device_v1_listener;
    using SourceListener = zwlr_data_control_source_v1_listener;
    using OfferListener = zwlr_data_control_offer_v1_listener;
    static const wl_interface& managerInterface() { return zwlr_data_control_manager_v1_interface; }
    static constexpr auto getDataDevice = zwlr_data_control_manager_v1_get_data_device;
    static constexpr auto createDataSource = zwlr_data_control_manager_v1_create_data_source;
    static constexpr auto destroyManager = zwlr_data_control_manager_v1_destroy;
    static constexpr auto addDeviceListener = zwlr_data_control_device_v1_add_listener;
    static constexpr auto setSelection = zwlr_data_control_device_v1_set_selection;
    static constexpr auto destroyDevice = zwlr_data_control_device_v1_destroy;
    static constexpr auto addSourceListener = zwlr_data_control_source_v1_add_listener;
    static constexpr auto offer = zwlr_data_control_source_v1_offer;
    static constexpr auto destroySource = zwlr_data_control_source_v1_destroy;
    static constexpr auto addOfferListener = zwlr_data_control_offer_v1_add_listener;
    static constexpr auto receive = zwlr_data_control_offer_v1_receive;
    static constexpr auto destroyOffer = zwlr_data_control_offer_v1_destroy;
};

// Every object of the protocol is a proxy; the generated functions only want its type back.
template <typename Object> Object* as(wl_proxy* proxy)
{
    return reinterpret_cast<Object*>(proxy);
}

template <typename Object> wl_proxy* proxy(Object* object)
{
    return reinterpret_cast<wl_proxy*>(object);
}

WaylandDataControl* control(void* data)
{
    return static_cast<WaylandDataControl*>(data);
}

template <typename P> class BoundDataControl final : public DataControlProtocol {
public:
    explicit BoundDataControl(typename P::Manager* manager)
        : m_manager(manager)
    {
    }
    ~BoundDataControl() override { P::destroyManager(m_manager); }
    BoundDataControl(const BoundDataControl&) = delete;
    BoundDataControl& operator=(const BoundDataControl&) = delete;

    wl_proxy* getDevice(wl_seat* seat, WaylandDataControl* control) override
    {
        auto* device = P::getDataDevice(m_manager, seat);
        P::addDeviceListener(device, &deviceListener, control);
        return proxy(device);
    }
    wl_proxy* createSource(WaylandDataControl* control) override
    {
        auto* source = P::createDataSource(m_manager);
        P::addSourceListener(source, &sourceListener, control);
        return proxy(source);
    }
    void listen(wl_proxy* offer, WaylandOffer* target) override
    {
        P::addOfferListener(as<typename P::Offer>(offer), &offerListener, target);
    }
    void offer(wl_proxy* source, const char* mimeType) override
    {
        P::offer(as<typename P::Source>(source), mimeType);
    }
    void setSelection(wl_proxy* device, wl_proxy* source) override
    {
        P::setSelection(as<typename P::Device>(device), as<typename P::Source>(source));
    }
    void receive(wl_proxy* offer, const char* mimeType, int fd) override
    {
        P::receive(as<typename P::Offer>(offer), mimeType, fd);
    }
    void destroyOffer(wl_proxy* offer) override { P::destroyOffer(as<typename P::Offer>(offer)); }
    void destroySource(wl_proxy* source) override
    {
        P::destroySource(as<typename P::Source>(source));
    }
    void destroyDevice(wl_proxy* device) override
    {
        P::destroyDevice(as<typename P::Device>(device));
    }

private:
    static constexpr typename P::DeviceListener deviceListener{
        [](void* data, typename P::Device*, typename P::Offer* offer) {
            control(data)->offerAnnounced(proxy(offer));
        },
        [](void* data, typename P::Device*, typename P::Offer* offer) {
            control(data)->selectionAnnounced(proxy(offer));
        },
        [](void* data, typename P::Device*) { control(data)->deviceFinished(); },
        [](void* data, typename P::Device*, typename P::Offer* offer) {
            control(data)->primarySelectionAnnounced(proxy(offer));
        },
    };
    static constexpr typename P::SourceListener sourceListener{
        [](void* data, typename P::Source* source, const char* mimeType, int fd) {
            control(data)->sendRequested(proxy(source), mimeType, fd);
        },
        [](void* data, typename P::Source* source) {
            control(data)->sourceCancelled(proxy(source));
        },
    };
    static constexpr typename P::OfferListener offerListener{
        [](void* data, typename P::Offer*, const char* mimeType) {
            static_cast<WaylandOffer*>(data)->addMimeType(QByteArray(mimeType));
        },
    };

    typename P::Manager* m_manager;
};

template <typename P>
std::unique_ptr<DataControlProtocol> bindManager(WaylandConnection& connection)
{
    void* manager = connection.bind(P::managerInterface(), 1);
    if (manager == nullptr)
        return nullptr;
    return std::make_unique<BoundDataControl<P>>(static_cast<typename P::Manager*>(manager));
}

} // namespace

std::unique_ptr<DataControlProtocol> DataControlProtocol::bind(WaylandConnection& connection)
{
    if (auto standard = bindManager<ExtDataControl>(connection))
        return standard;
    return bindManager<WlrDataControl>(connection);
}

} // namespace nabrix
