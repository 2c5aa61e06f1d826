// SPDX-License-Identifier: GPL-3.0-or-later
// The three bulk-deletion confirmations share this card.
#include "views/confirmation_card.h"

#include "i18n/text_catalogue.h"
#include "views/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nabrix {

ConfirmationCard::ConfirmationCard(const QString& title, const QString& message, QWidget* parent)
    : OverlayCard(parent)
    , m_title(new QLabel(title, this))
    , m_message(new QLabel(message, this))
    //% "Clear"
    , m_confirm(makeButton(catalogue::text("alert.clear"), ButtonRole::Destructive))
    //% "Cancel"
    , m_cancel(makeButton(catalogue::text("alert.cancel"), ButtonRole::Neutral))
{
    setObjectName(QStringLiteral("confirmation"));
    setAccessibleName(title);
    setAccessibleDescription(message);
    m_title->setFont(Theme::font(14, QFont::DemiBold));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    m_message->setFont(Theme::font(12));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::WindowText, Theme::secondaryText());
    m_message->setPalette(palette);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(m_cancel, 1);
    buttons->addWidget(m_confirm, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 16);
    layout->setSpacing(10);
    layout->addWidget(m_title);
    layout->addWidget(m_message);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(m_confirm, &QPushButton::clicked, this, &ConfirmationCard::accept);
    connect(m_cancel, &QPushButton::clicked, this, &ConfirmationCard::reject);
}

QString ConfirmationCard::title() const
{
    return m_title->text();
}

QString ConfirmationCard::message() const
{
    return m_message->text();
}

void ConfirmationCard::accept()
{
    if (isFinished())
        return;
    Q_EMIT confirmed();
    finish();
}

} // namespace nabrix
