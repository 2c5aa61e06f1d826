// SPDX-License-Identifier: GPL-3.0-or-later
// Horizontal separator line.
#include "views/divider.h"

#include "views/theme.h"

#include <QPainter>

namespace nabrix {

Divider::Divider(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Divider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Theme::separator());
}

} // namespace nabrix
