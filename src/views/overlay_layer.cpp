// SPDX-License-Identifier: GPL-3.0-or-later
// Confirmations and sheets live inside the history window, so that showing one never
// deactivates the window (which would close a popover).
#include "views/overlay_layer.h"

#include "views/overlay_card.h"
#include "views/theme.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace nabrix {

namespace {

constexpr int cardMargin = 24;

} // namespace

OverlayLayer::OverlayLayer(QWidget* host)
    : QWidget(host)
{
    setObjectName(QStringLiteral("overlayLayer"));
    hide();
    setGeometry(host->rect());
    host->installEventFilter(this);
}

void OverlayLayer::present(OverlayCard* card)
{
    OverlayCard* previous = m_card;
    const bool wasPresenting = previous != nullptr;
    m_card = card;
    card->setParent(this);
    connect(card, &OverlayCard::finished, this, [this, card] { cardFinished(card); });
    if (previous) {
        // Replaced, not finished: it goes without acting.
        previous->disconnect(this);
        previous->hide();
        previous->deleteLater();
    }
    setGeometry(parentWidget()->rect());
    placeCard();
    show();
    raise();
    card->show();
    if (QWidget* focus = card->initialFocusWidget())
        focus->setFocus(Qt::OtherFocusReason);
    if (!wasPresenting)
        Q_EMIT presentingChanged(true);
}

void OverlayLayer::dismiss()
{
    if (m_card)
        m_card->reject();
}

void OverlayLayer::cardFinished(OverlayCard* card)
{
    card->hide();
    card->deleteLater();
    // A handler of the card's own signals may already have put up the next card.
    if (m_card != card)
        return;
    m_card = nullptr;
    hide();
    Q_EMIT presentingChanged(false);
}

void OverlayLayer::placeCard()
{
    if (!m_card)
        return;
    const int width = std::min(300, this->width() - 2 * cardMargin);
    m_card->setFixedWidth(width);
    m_card->adjustSize();
    const QSize size(width, m_card->sizeHint().height());
    m_card->setGeometry(QRect(
        QPoint((this->width() - size.width()) / 2, (this->height() - size.height()) / 2), size));
}

bool OverlayLayer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        placeCard();
    }
    return QWidget::eventFilter(watched, event);
}

void OverlayLayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Theme::black(0.45));
}

void OverlayLayer::mousePressEvent(QMouseEvent* event)
{
    // A click beside the card dismisses it, as clicking outside a dialog would.
    event->accept();
    dismiss();
}

} // namespace nabrix
