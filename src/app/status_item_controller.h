// SPDX-License-Identifier: GPL-3.0-or-later
// What the model needs from the tray icon and the windows that show the history.
#pragma once

class QWindow;

namespace nabrix {

class StatusItemController {
public:
    virtual ~StatusItemController() = default;

    // Adds the tray icon unless it is already there.
    virtual void installStatusItem() = 0;
    virtual void removeStatusItem() = 0;
    // The popover under the icon when there is one, else the floating panel at the pointer.
    virtual void showHistory() = 0;
    // Hides whichever history window is shown; reports the close to the model when one was.
    virtual void close() = 0;
    // The window showing the history, null when none is shown.
    virtual QWindow* presentedWindow() const = 0;
};

} // namespace nabrix
