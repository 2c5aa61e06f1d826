// SPDX-License-Identifier: GPL-3.0-or-later
// Icon buttons of the footer, the toolbar, the rows and the detail page.
#include "views/symbol_button.h"

#include "views/theme.h"

#include <QPainter>
#include <QPainterPath>

namespace nabrix {

SymbolButton::SymbolButton(const QString& symbol, const QString& toolTip, int side, qreal pointSize,
                           QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_color(Theme::secondaryText())
    , m_side(side)
    , m_pointSize(pointSize)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(side, side);
    setDescription(toolTip);
}

void SymbolButton::setSymbol(const QString& symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    update();
}

void SymbolButton::setSymbolColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void SymbolButton::setBackgroundColor(const QColor& color)
{
    m_background = color;
    update();
}

void SymbolButton::setDescription(const QString& toolTip)
{
    setToolTip(toolTip);
    setAccessibleName(toolTip);
}

QSize SymbolButton::sizeHint() const
{
    return {m_side, m_side};
}

void SymbolButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 6, 6);
    if (m_background.isValid())
        painter.fillPath(shape, m_background);
    if (isEnabled() && (m_hovered || isDown()))
        painter.fillPath(shape, Theme::white(isDown() ? 0.14 : 0.08));
    const int box = Theme::symbolBox(m_pointSize);
    const QRect target((width() - box) / 2, (height() - box) / 2, box, box);
    Theme::symbol(m_symbol, m_color)
        .paint(&painter, target, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

void SymbolButton::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SymbolButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace nabrix
