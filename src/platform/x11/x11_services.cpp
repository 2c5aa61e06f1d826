// SPDX-License-Identifier: GPL-3.0-or-later
// The X11 implementations of the platform services.
#include "platform/x11/x11_services.h"

#include "platform/x11/x11_clipboard_keeper.h"
#include "platform/x11/x11_hot_key_service.h"
#include "platform/x11/x11_key_synthesizer.h"
#include "platform/x11/x11_keyboard_layout.h"
#include "platform/x11/x11_selection_reader.h"
#include "platform/x11/x11_workspace.h"

#include <QGuiApplication>
#include <X11/Xlib.h>

namespace nabrix {

std::optional<X11Services> createX11Services()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || x11->display() == nullptr)
        return std::nullopt;
    X11Services services;
    services.workspace = X11Workspace::create();
    services.hotKeyService = X11HotKeyService::create();
    services.keyboardLayout = X11KeyboardLayout::create();
    services.keySynthesizer = X11KeySynthesizer::create();
    // The readers open connections of their own to the display Qt uses.
    services.clipboardReaders = X11SelectionReader::factory(DisplayString(x11->display()));
    services.clipboardKeeper = X11ClipboardKeeper::create();
    return services;
}

} // namespace nabrix
