// SPDX-License-Identifier: GPL-3.0-or-later
// The paste keystroke (Ctrl+V) typed through the XTEST extension.
#pragma once

#include "platform/key_synthesizer.h"

#include <memory>

struct xcb_connection_t;

namespace nabrix {

class X11KeySynthesizer final : public KeySynthesizer {
public:
    // On the application's own X11 connection; null without one.
    static std::unique_ptr<X11KeySynthesizer> create();

    explicit X11KeySynthesizer(xcb_connection_t* connection);

    bool isTrusted() const override { return m_hasXTest; }
    // X11 has no permission to ask for: XTEST is either there or not.
    void requestTrust() override {}
    void postPaste() override;

private:
    xcb_connection_t* m_connection;
    bool m_hasXTest;
};

} // namespace nabrix
