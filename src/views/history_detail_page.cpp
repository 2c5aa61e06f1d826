// SPDX-License-Identifier: GPL-3.0-or-later
// Header of the detail page and the detail view below it.
#include "views/history_detail_page.h"

#include "app/app_model.h"
#include "i18n/text_catalogue.h"
#include "views/clip_detail_view.h"
#include "views/divider.h"
#include "views/symbol_button.h"
#include "views/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace nabrix {

namespace {

QPixmap symbolPixmap(const QString& symbol, qreal pointSize, const QColor& color, qreal scale)
{
    const int side = Theme::symbolBox(pointSize);
    return Theme::symbol(symbol, color).pixmap(QSize(side, side), scale);
}

} // namespace

HistoryDetailPage::HistoryDetailPage(AppModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    //% "Back"
    , m_back(new SymbolButton(QStringLiteral("chevron.left"), catalogue::text("history.back"), 24,
                              12, this))
    , m_typeIcon(new QLabel(this))
    , m_badge(new QFrame(this))
    , m_detail(new ClipDetailView(model, this))
{
    setObjectName(QStringLiteral("detailPage"));
    m_back->setObjectName(QStringLiteral("backButton"));
    m_back->setSymbolColor(Theme::primaryText());
    m_back->setBackgroundColor(Theme::white(0.07));
    connect(m_back, &SymbolButton::clicked, this, [this] { m_model.setDetailItem(std::nullopt); });

    //% "Details"
    auto* title = new QLabel(catalogue::text("history.detail.title"), this);
    title->setFont(Theme::font(13, QFont::Medium));

    m_badge->setObjectName(QStringLiteral("sensitiveBadge"));
    m_badge->setStyleSheet(QStringLiteral(
        "QFrame#sensitiveBadge { background-color: rgba(255, 159, 10, 38); border-radius: 9px; }"));
    auto* badgeIcon = new QLabel(m_badge);
    badgeIcon->setPixmap(
        symbolPixmap(QStringLiteral("eye.slash"), 10, Theme::orange(), devicePixelRatioF()));
    //% "Sensitive"
    auto* badgeText = new QLabel(catalogue::text("history.sensitive"), m_badge);
    badgeText->setFont(Theme::font(10, QFont::Medium));
    badgeText->setStyleSheet(QStringLiteral("color: #ff9f0a; background: transparent;"));
    auto* badgeLayout = new QHBoxLayout(m_badge);
    badgeLayout->setContentsMargins(7, 2, 8, 2);
    badgeLayout->setSpacing(4);
    badgeLayout->addWidget(badgeIcon);
    badgeLayout->addWidget(badgeText);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(10, 8, 10, 8);
    header->setSpacing(8);
    header->addWidget(m_back);
    header->addWidget(m_typeIcon);
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(m_badge);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(new Divider(this));
    layout->addWidget(m_detail, 1);
}

QString HistoryDetailPage::typeSymbol(ClipType type)
{
    switch (type) {
    case ClipType::Text:
        return QStringLiteral("text.alignleft");
    case ClipType::Rtf:
        return QStringLiteral("textformat");
    case ClipType::Image:
        return QStringLiteral("photo");
    case ClipType::File:
        return QStringLiteral("doc.on.doc");
    }
    return {};
}

void HistoryDetailPage::setItem(const ClipItem& item)
{
    m_typeIcon->setPixmap(
        symbolPixmap(typeSymbol(item.type), 11, Theme::secondaryText(), devicePixelRatioF()));
    m_badge->setVisible(item.isSensitive);
    m_detail->setItem(item);
}

} // namespace nabrix
