// SPDX-License-Identifier: GPL-3.0-or-later
// An on/off switch for the settings form's boolean preferences.
#include "views/toggle_switch.h"

#include "views/theme.h"

#include <QPainter>
#include <QPainterPath>

namespace nabrix {

ToggleSwitch::ToggleSwitch(const QString& accessibleName, QWidget* parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(accessibleName);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ToggleSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF size = sizeHint();
    const QRectF track(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0),
                       size);
    const qreal radius = track.height() / 2.0;
    QColor trackColor = isChecked() ? Theme::accent() : Theme::white(0.16);
    if (!isEnabled())
        trackColor.setAlphaF(trackColor.alphaF() * 0.5f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColor);
    painter.drawRoundedRect(track, radius, radius);

    const qreal knob = track.height() - 4.0;
    const qreal knobX = isChecked() ? track.right() - 2.0 - knob : track.left() + 2.0;
    painter.setBrush(isEnabled() ? QColor(Qt::white) : Theme::white(0.6));
    painter.drawEllipse(QRectF(knobX, track.top() + 2.0, knob, knob));

    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Theme::accent().lighter(130), 1.5));
        painter.drawRoundedRect(track.adjusted(-1.5, -1.5, 1.5, 1.5), radius + 1.5, radius + 1.5);
    }
}

} // namespace nabrix
