// SPDX-License-Identifier: GPL-3.0-or-later
// Dims the history window and shows one overlay card in its middle.
#pragma once

#include <QPointer>
#include <QWidget>

namespace nabrix {

class OverlayCard;

class OverlayLayer : public QWidget {
    Q_OBJECT
public:
    // Covers `host` entirely, above its other children.
    explicit OverlayLayer(QWidget* host);

    // Takes `card`, replacing any card shown; the card is destroyed once it finishes.
    void present(OverlayCard* card);
    OverlayCard* card() const { return m_card; }
    bool isPresenting() const { return m_card != nullptr; }
    // Rejects the card shown, if any.
    void dismiss();

Q_SIGNALS:
    // A card came up while none was shown, or the last one went.
    void presentingChanged(bool presenting);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void placeCard();
    void cardFinished(OverlayCard* card);

    QPointer<OverlayCard> m_card;
};

} // namespace nabrix
