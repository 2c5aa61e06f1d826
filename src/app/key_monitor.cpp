// SPDX-License-Identifier: GPL-3.0-or-later
// Sees key presses addressed to the history window before any widget does.
#include "app/key_monitor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

namespace nabrix {

KeyMonitor::KeyMonitor(WindowProvider keyWindow, Handler handler, QObject* parent)
    : QObject(parent)
    , m_keyWindow(std::move(keyWindow))
    , m_handler(std::move(handler))
{
    QCoreApplication::instance()->installEventFilter(this);
}

KeyMonitor::~KeyMonitor()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyMonitor::eventFilter(QObject* watched, QEvent* event)
{
    // A key press reaches the top-level window first and is then forwarded (and possibly
    // propagated) through the widgets: look at it once, at the window.
    if (event->type() != QEvent::KeyPress || qobject_cast<QWindow*>(watched) == nullptr)
        return false;
    // An open menu does not take the keyboard focus: its keys arrive at the window below it
    // and Qt hands them on to the menu only after this filter.
    if (QApplication::activePopupWidget() != nullptr)
        return false;
    QWindow* keyWindow = m_keyWindow();
    if (keyWindow == nullptr || watched != keyWindow)
        return false;
    return m_handler(static_cast<const QKeyEvent&>(*event));
}

} // namespace nabrix
