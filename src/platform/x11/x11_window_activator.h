// SPDX-License-Identifier: GPL-3.0-or-later
// Window activation on X11 through the window manager's _NET_ACTIVE_WINDOW request.
#pragma once

#include "platform/qt_window_activator.h"

namespace nabrix {

class X11WindowActivator final : public QtWindowActivator {
public:
    void activate(QWidget& window) override;
};

} // namespace nabrix
