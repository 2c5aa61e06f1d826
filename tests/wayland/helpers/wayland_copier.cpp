// SPDX-License-Identifier: GPL-3.0-or-later
// Copies several representations at once through data-control, as password managers do.
//   wayland_copier MIME TEXT [MIME TEXT]...
// Prints "ready" once the compositor has made it the selection, serves it until replaced.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>
#include <wayland-client.h>
#include <wlr-data-control-unstable-v1-client.h>

namespace {

struct State {
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    std::map<std::string, std::string> representations;
    bool cancelled = false;
};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t /*version*/)
{
    auto* state = static_cast<State*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && state->seat == nullptr)
        state->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        state->manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}

void globalRemove(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

const wl_registry_listener registryListener{global, globalRemove};

void send(void* data, zwlr_data_control_source_v1* /*source*/, const char* mimeType, int fd)
{
    const auto& representations = static_cast<State*>(data)->representations;
    const auto found = representations.find(mimeType);
    if (found != representations.end()) {
        const std::string& bytes = found->second;
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (written <= 0)
                break;
            done += static_cast<std::size_t>(written);
        }
    }
    ::close(fd);
}

void cancelled(void* data, zwlr_data_control_source_v1* /*source*/)
{
    static_cast<State*>(data)->cancelled = true;
}

const zwlr_data_control_source_v1_listener sourceListener{send, cancelled};

} // namespace

int main(int argc, char** argv)
{
    State state;
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: wayland_copier MIME TEXT [MIME TEXT]...\n");
        return 2;
    }
    for (int i = 1; i + 1 < argc; i += 2)
        state.representations[argv[i]] = argv[i + 1];
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wayland_copier: no compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &state);
    wl_display_roundtrip(display);
    if (state.seat == nullptr || state.manager == nullptr) {
        std::fprintf(stderr, "wayland_copier: the compositor offers no data-control\n");
        return 1;
    }
    zwlr_data_control_device_v1* device =
        zwlr_data_control_manager_v1_get_data_device(state.manager, state.seat);
    zwlr_data_control_source_v1* source =
        zwlr_data_control_manager_v1_create_data_source(state.manager);
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, &state);
    for (const auto& representation : state.representations)
        zwlr_data_control_source_v1_offer(source, representation.first.c_str());
    zwlr_data_control_device_v1_set_selection(device, source);
    wl_display_roundtrip(display);
    std::puts("ready");
    std::fflush(stdout);
    while (!state.cancelled && wl_display_dispatch(display) >= 0) {
    }
    wl_display_disconnect(display);
    return 0;
}
