// SPDX-License-Identifier: GPL-3.0-or-later
// Window activation through Qt alone, where the desktop lets applications take focus.
#pragma once

#include "platform/window_activator.h"

namespace nabrix {

class QtWindowActivator : public WindowActivator {
public:
    void activate(QWidget& window) override;
};

} // namespace nabrix
