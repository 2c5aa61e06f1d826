// SPDX-License-Identifier: GPL-3.0-or-later
// A dialog drawn inside the history window: a card that Return accepts and Escape rejects.
#pragma once

#include <QFrame>

class QPushButton;

namespace nabrix {

class OverlayCard : public QFrame {
    Q_OBJECT
public:
    explicit OverlayCard(QWidget* parent = nullptr);

    // What takes the keyboard when the card comes up.
    virtual QWidget* initialFocusWidget() { return this; }
    // Whether Return may trigger the default action now (it stays put while it may not).
    virtual bool canAccept() const { return true; }

public Q_SLOTS:
    // The default action; the card then closes.
    virtual void accept() = 0;
    // Cancel, Escape, or a click outside the card; the card then closes.
    virtual void reject();

Q_SIGNALS:
    // The card is done (after any signal its action emits) and may be destroyed.
    void finished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // Whether a button's action destroys something: such a button is drawn in warning red.
    enum class ButtonRole { Neutral, Destructive };
    // A card button. The card keeps the keyboard, so that Return always means the default
    // action rather than whichever button happens to have focus.
    QPushButton* makeButton(const QString& text, ButtonRole role);
    void finish();
    bool isFinished() const { return m_finished; }

private:
    bool m_finished = false;
};

} // namespace nabrix
