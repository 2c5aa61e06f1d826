// SPDX-License-Identifier: GPL-3.0-or-later
// The frameless window that shows the history: a popover under the tray icon or a panel.
#include "shell/history_window.h"

#include <QApplication>
#include <QHideEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace nabrix {

HistoryWindow::HistoryWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(contentSize);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Nabrix"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Another application becoming active is the desktop's "click outside". Qt reports the
    // loss of focus with a delay, so the report of the window's previous closing can arrive
    // just after it was opened again: believe it only if it still holds a moment later.
    m_deactivationCheck.setSingleShot(true);
    m_deactivationCheck.setInterval(deactivationGrace);
    connect(&m_deactivationCheck, &QTimer::timeout, this, [this] {
        if (QGuiApplication::applicationState() != Qt::ApplicationActive && isVisible() &&
            m_behavior == Behavior::Transient)
            hide();
    });
    connect(
        qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive && isVisible() && m_behavior == Behavior::Transient)
                m_deactivationCheck.start();
        });
}

void HistoryWindow::setContent(QWidget* content)
{
    if (m_content == content)
        return;
    if (m_content)
        layout()->removeWidget(m_content);
    m_content = content;
    if (content != nullptr) {
        content->setParent(this);
        layout()->addWidget(content);
    }
}

void HistoryWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        Q_EMIT closed();
}

QSize HistoryWindow::sizeFor(const QRect& available)
{
    return {contentSize.width(), std::min(contentSize.height(), available.height())};
}

QPoint HistoryWindow::popoverPosition(const QRect& icon, const QRect& available)
{
    const QSize size = sizeFor(available);
    const int width = size.width();
    const int height = size.height();
    int x = icon.center().x() - width / 2;
    // Trays at the bottom of the screen open upwards.
    const bool iconAtBottom = icon.center().y() > available.center().y();
    int y = iconAtBottom ? icon.top() - height - 4 : icon.bottom() + 5;
    x = std::clamp(x, available.left(), std::max(available.left(), available.right() - width + 1));
    y = std::clamp(y, available.top(), std::max(available.top(), available.bottom() - height + 1));
    return {x, y};
}

QPoint HistoryWindow::panelPosition(const QPoint& pointer, const QRect& available)
{
    const QSize size = sizeFor(available);
    const int width = size.width();
    const int height = size.height();
    // The right edge 24 px right of the pointer, the top edge 12 px below it...
    int x = pointer.x() - width + 24;
    int y = pointer.y() + 12;
    // ...then moved just enough to be fully visible.
    x = std::clamp(x, available.left(), std::max(available.left(), available.right() - width + 1));
    y = std::clamp(y, available.top(), std::max(available.top(), available.bottom() - height + 1));
    return {x, y};
}

} // namespace nabrix
