// SPDX-License-Identifier: GPL-3.0-or-later
// Picks the Wayland clipboard where data-control exists, the X11 services on xcb and the
// fallbacks elsewhere.
#include "platform/platform_services.h"

#include "platform/fallback/fallback_services.h"
#include "platform/qt_pasteboard.h"
#include "platform/qt_window_activator.h"
#include "platform/wayland/wayland_services.h"
#include "platform/x11/x11_services.h"
#include "platform/x11/x11_window_activator.h"

#include <QGuiApplication>

namespace nabrix {

PlatformServices createPlatformServices()
{
    PlatformServices services;
    services.sensitivityAnalyzer = std::make_unique<NoVerdictSensitivityAnalyzer>();
    // On Wayland, XWayland sees a native program's copy only while an X11 window has the
    // focus: the compositor's data-control, on a connection of our own, is then the only
    // clipboard, whichever platform Qt's windows use, and Qt's clipboard is left alone.
    if (auto wayland = createWaylandServices()) {
        services.pasteboard = std::move(wayland->pasteboard);
        services.clipboardKeeper = std::move(wayland->clipboardKeeper);
        // The compositor knows every window, native or not; XWayland only its own.
        services.workspace = std::move(wayland->workspace);
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        services.windowActivator = std::make_unique<X11WindowActivator>();
        if (auto x11 = createX11Services()) {
            if (!services.pasteboard) {
                services.pasteboard =
                    std::make_unique<QtPasteboard>(std::move(x11->clipboardReaders));
                services.clipboardKeeper = std::move(x11->clipboardKeeper);
            }
            if (!services.workspace)
                services.workspace = std::move(x11->workspace);
            services.keySynthesizer = std::move(x11->keySynthesizer);
            services.hotKeyService = std::move(x11->hotKeyService);
            services.keyboardLayout = std::move(x11->keyboardLayout);
        }
    }
    if (!services.pasteboard)
        services.pasteboard = std::make_unique<QtPasteboard>();
    if (!services.clipboardKeeper)
        services.clipboardKeeper = std::make_unique<NoClipboardKeeper>();
    if (!services.workspace)
        services.workspace = std::make_unique<NoWorkspace>();
    if (!services.keySynthesizer)
        services.keySynthesizer = std::make_unique<UntrustedKeySynthesizer>();
    if (!services.hotKeyService)
        services.hotKeyService = std::make_unique<RefusingHotKeyService>();
    if (!services.windowActivator)
        services.windowActivator = std::make_unique<QtWindowActivator>();
    if (!services.keyboardLayout)
        services.keyboardLayout = std::make_unique<HexKeyboardLayout>();
    return services;
}

} // namespace nabrix
