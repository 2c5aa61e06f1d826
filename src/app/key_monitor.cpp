// Sees key presses addressed to our own windows before any widget does.
#include "app/key_monitor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWindow>

namespace nabrix {

KeyMonitor::KeyMonitor(std::function<bool(const QKeyEvent&)> handler, QObject* parent)
    : QObject(parent)
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
    if (event->type() == QEvent::KeyPress && qobject_cast<QWindow*>(watched) != nullptr)
        return m_handler(static_cast<const QKeyEvent&>(*event));
    return false;
}

} // namespace nabrix
