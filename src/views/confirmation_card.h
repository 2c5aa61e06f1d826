// SPDX-License-Identifier: GPL-3.0-or-later
// A confirmation inside the history window: title, message, clear and cancel.
#pragma once

#include "views/overlay_card.h"

class QLabel;

namespace nabrix {

class ConfirmationCard : public OverlayCard {
    Q_OBJECT
public:
    ConfirmationCard(const QString& title, const QString& message, QWidget* parent = nullptr);

    QString title() const;
    QString message() const;
    QPushButton* confirmButton() const { return m_confirm; }
    QPushButton* cancelButton() const { return m_cancel; }

    void accept() override;

Q_SIGNALS:
    // The destructive button (or Return) was chosen; emitted before finished().
    void confirmed();

private:
    QLabel* m_title;
    QLabel* m_message;
    QPushButton* m_confirm;
    QPushButton* m_cancel;
};

} // namespace nabrix
