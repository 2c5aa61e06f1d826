// SPDX-License-Identifier: GPL-3.0-or-later
// The frameless window that shows the history: a popover under the tray icon or a panel.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>

namespace nabrix {

class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    enum class Behavior {
        // Closes when the user clicks outside it or activates another application.
        Transient,
        // Closes only when told to.
        Persistent,
    };

    static constexpr QSize contentSize{380, 480};
    // How long a loss of focus must last before a transient window closes.
    static constexpr std::chrono::milliseconds deactivationGrace{150};

    explicit HistoryWindow(QWidget* parent = nullptr);

    // The history view, shared by both presentations; the window takes ownership.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }
    void setBehavior(Behavior behavior) { m_behavior = behavior; }
    Behavior behavior() const { return m_behavior; }

    // The content size, or as much of its height as a short screen has: the list inside
    // scrolls, and the footer stays on the screen.
    static QSize sizeFor(const QRect& available);
    // Below (or above) the tray icon's rectangle, inside the screen that holds it.
    static QPoint popoverPosition(const QRect& iconGeometry, const QRect& available);
    // Hanging below the pointer, mostly to its left, moved just enough to be fully visible.
    static QPoint panelPosition(const QPoint& pointer, const QRect& available);

Q_SIGNALS:
    // The window was hidden, by us or by the user.
    void closed();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QPointer<QWidget> m_content;
    Behavior m_behavior = Behavior::Transient;
    QTimer m_deactivationCheck;
};

} // namespace nabrix
