// SPDX-License-Identifier: GPL-3.0-or-later
// Bringing one of our windows to the front with the keyboard focus.
#pragma once

class QWidget;

namespace nabrix {

class WindowActivator {
public:
    virtual ~WindowActivator() = default;
    // Raises the shown window `window` and gives it the keyboard focus, even when another
    // application is active (after a global shortcut, Qt's own activation may be refused).
    virtual void activate(QWidget& window) = 0;
};

} // namespace nabrix
