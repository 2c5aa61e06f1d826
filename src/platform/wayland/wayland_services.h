// SPDX-License-Identifier: GPL-3.0-or-later
// The Wayland implementations of the platform services that data-control makes possible.
#pragma once

#include "platform/clipboard_keeper.h"
#include "platform/pasteboard.h"
#include "platform/workspace.h"

#include <memory>
#include <optional>

namespace nabrix {

struct WaylandServices {
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<ClipboardKeeper> clipboardKeeper;
    // Null where the compositor does not say which window is active.
    std::unique_ptr<Workspace> workspace;
};

// None unless a compositor answers on WAYLAND_DISPLAY and offers data-control (the standard
// protocol or wlroots'; the workspace needs wlroots' foreign-toplevel management).
std::optional<WaylandServices> createWaylandServices();

} // namespace nabrix
