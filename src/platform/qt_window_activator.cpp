// SPDX-License-Identifier: GPL-3.0-or-later
// Window activation through Qt alone, where the desktop lets applications take focus.
#include "platform/qt_window_activator.h"

#include <QWidget>

namespace nabrix {

void QtWindowActivator::activate(QWidget& window)
{
    window.raise();
    window.activateWindow();
}

} // namespace nabrix
