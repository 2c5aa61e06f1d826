// SPDX-License-Identifier: GPL-3.0-or-later
// Copy, detail, reveal and delete for the hovered row.
#include "views/clip_row_actions.h"

#include "i18n/text_catalogue.h"
#include "views/clip_row_view.h"
#include "views/symbol_button.h"
#include "views/theme.h"

#include <QHBoxLayout>

namespace nabrix {

ClipRowActions::ClipRowActions(QWidget* parent)
    : QWidget(parent)
    //% "Copy"
    , m_copy(new SymbolButton(QStringLiteral("doc.on.doc"), catalogue::text("history.copy"),
                              ClipRowView::buttonSide, ClipRowView::buttonPointSize, this))
    //% "Show details"
    , m_detail(new SymbolButton(QStringLiteral("info.circle"), catalogue::text("history.detail"),
                                ClipRowView::buttonSide, ClipRowView::buttonPointSize, this))
    //% "Reveal"
    , m_reveal(new SymbolButton(QStringLiteral("eye"), catalogue::text("history.reveal"),
                                ClipRowView::buttonSide, ClipRowView::buttonPointSize, this))
    //% "Delete"
    , m_delete(new SymbolButton(QStringLiteral("xmark"), catalogue::text("history.delete"),
                                ClipRowView::buttonSide, ClipRowView::buttonPointSize, this))
{
    setObjectName(QStringLiteral("rowActions"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(ClipRowView::trailingSpacing);
    for (SymbolButton* button : {m_copy, m_detail, m_reveal, m_delete})
        layout->addWidget(button);

    connect(m_copy, &SymbolButton::clicked, this, [this] { Q_EMIT copyClicked(m_item); });
    connect(m_detail, &SymbolButton::clicked, this, [this] { Q_EMIT detailClicked(m_item); });
    connect(m_reveal, &SymbolButton::clicked, this, [this] { Q_EMIT revealClicked(m_item); });
    connect(m_delete, &SymbolButton::clicked, this, [this] { Q_EMIT deleteClicked(m_item); });
}

void ClipRowActions::setItem(const ClipItem& item, const ClipRowContent& shown)
{
    m_item = item;
    m_copy->setSymbol(shown.flashing ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc"));
    m_copy->setSymbolColor(shown.flashing ? Theme::green() : Theme::secondaryText());
    m_reveal->setVisible(shown.masked);
    m_delete->setVisible(!item.isSensitive);
    adjustSize();
}

} // namespace nabrix
