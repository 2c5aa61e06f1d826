// SPDX-License-Identifier: GPL-3.0-or-later
// The Wayland implementations of the platform services that data-control makes possible.
#include "platform/wayland/wayland_services.h"

#include "platform/wayland/wayland_clipboard_keeper.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_data_control.h"
#include "platform/wayland/wayland_pasteboard.h"
#include "platform/wayland/wayland_workspace.h"

namespace nabrix {

std::optional<WaylandServices> createWaylandServices()
{
    if (!qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return std::nullopt;
    auto connection = WaylandConnection::connect();
    if (!connection)
        return std::nullopt;
    std::shared_ptr<WaylandDataControl> control = WaylandDataControl::create(connection);
    if (!control)
        return std::nullopt;
    WaylandServices services;
    services.pasteboard = std::make_unique<WaylandPasteboard>(control);
    // Made after the pasteboard: both follow the selection, and the keeper looks at the
    // count the pasteboard has already moved.
    services.clipboardKeeper =
        std::make_unique<WaylandClipboardKeeper>(*services.pasteboard, control);
    services.workspace = WaylandWorkspace::create(connection);
    return services;
}

} // namespace nabrix
