// SPDX-License-Identifier: GPL-3.0-or-later
// The look and keys shared by the history window's confirmations and sheets.
#include "views/overlay_card.h"

#include "views/theme.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace nabrix {

OverlayCard::OverlayCard(QWidget* parent)
    : QFrame(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StyledBackground, false);
}

void OverlayCard::reject()
{
    finish();
}

void OverlayCard::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    Q_EMIT finished();
}

void OverlayCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    painter.fillPath(shape, QColor(0x32, 0x32, 0x35));
    painter.setPen(QPen(Theme::white(0.12), 1));
    painter.drawPath(shape);
}

void OverlayCard::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (canAccept())
            accept();
        event->accept();
        return;
    case Qt::Key_Escape:
        reject();
        event->accept();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

QPushButton* OverlayCard::makeButton(const QString& text, ButtonRole role)
{
    const bool destructive = role == ButtonRole::Destructive;
    auto* button = new QPushButton(text, this);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setMinimumHeight(28);
    button->setFont(Theme::font(13, destructive ? QFont::DemiBold : QFont::Normal));
    if (destructive) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::Active, QPalette::ButtonText, Theme::destructive());
        palette.setColor(QPalette::Inactive, QPalette::ButtonText, Theme::destructive());
        button->setPalette(palette);
    }
    return button;
}

} // namespace nabrix
