// SPDX-License-Identifier: GPL-3.0-or-later
// The set of platform services the core runs against, and the factory that picks them.
#pragma once

#include "platform/clipboard_keeper.h"
#include "platform/hotkey_service.h"
#include "platform/key_synthesizer.h"
#include "platform/keyboard_layout.h"
#include "platform/pasteboard.h"
#include "platform/sensitivity_analyzer.h"
#include "platform/window_activator.h"
#include "platform/workspace.h"

#include <memory>

namespace nabrix {

struct PlatformServices {
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<ClipboardKeeper> clipboardKeeper;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<KeySynthesizer> keySynthesizer;
    std::unique_ptr<HotKeyService> hotKeyService;
    std::unique_ptr<KeyboardLayout> keyboardLayout;
    std::unique_ptr<SensitivityAnalyzer> sensitivityAnalyzer;
    std::unique_ptr<WindowActivator> windowActivator;
};

// The Wayland clipboard where the compositor offers data-control; X11 implementations when Qt
// runs on xcb (for the clipboard too, unless Wayland's is used); the fallbacks otherwise.
// Needs a QGuiApplication.
PlatformServices createPlatformServices();

} // namespace nabrix
