// SPDX-License-Identifier: GPL-3.0-or-later
// The X11 implementations of the platform services (no X11 header leaks from here).
#pragma once

#include "platform/clipboard_keeper.h"
#include "platform/clipboard_source.h"
#include "platform/hotkey_service.h"
#include "platform/key_synthesizer.h"
#include "platform/keyboard_layout.h"
#include "platform/workspace.h"

#include <memory>
#include <optional>

namespace nabrix {

struct X11Services {
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<KeySynthesizer> keySynthesizer;
    std::unique_ptr<HotKeyService> hotKeyService;
    std::unique_ptr<KeyboardLayout> keyboardLayout;
    ClipboardReaderFactory clipboardReaders;
    std::unique_ptr<ClipboardKeeper> clipboardKeeper;
};

// None when the application has no X11 connection. Any member may be null when that
// service cannot work on this server; the caller falls back for it.
std::optional<X11Services> createX11Services();

} // namespace nabrix
