// SPDX-License-Identifier: GPL-3.0-or-later
// Rounded search field of the list page.
#include "views/search_bar.h"

#include "i18n/text_catalogue.h"
#include "views/symbol_button.h"
#include "views/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

namespace nabrix {

SearchBar::SearchBar(QWidget* parent)
    : QWidget(parent)
    , m_field(new QLineEdit(this))
    , m_clear(new SymbolButton(QStringLiteral("xmark.circle.fill"), QString(), 18, 12, this))
{
    setObjectName(QStringLiteral("searchBar"));
    auto* glass = new QLabel(this);
    const int side = Theme::symbolBox(12);
    glass->setPixmap(Theme::symbol(QStringLiteral("magnifyingglass"))
                         .pixmap(QSize(side, side), glass->devicePixelRatioF()));
    glass->setFixedSize(side, side);

    m_field->setObjectName(QStringLiteral("searchField"));
    //% "Search history"
    m_field->setPlaceholderText(catalogue::text("history.search"));
    m_field->setAccessibleName(m_field->placeholderText());
    m_field->setFrame(false);
    m_field->setFont(Theme::font(13));
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette palette = m_field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    m_field->setPalette(palette);

    m_clear->setObjectName(QStringLiteral("searchClear"));
    m_clear->hide();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(glass);
    layout->addWidget(m_field, 1);
    layout->addWidget(m_clear);

    connect(m_field, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_clear->setVisible(!text.isEmpty()); });
    connect(m_field, &QLineEdit::textEdited, this, &SearchBar::textEdited);
    connect(m_clear, &SymbolButton::clicked, this, [this] {
        m_field->clear();
        Q_EMIT textEdited(QString());
        m_field->setFocus(Qt::OtherFocusReason);
    });
}

void SearchBar::setText(const QString& text)
{
    if (m_field->text() != text)
        m_field->setText(text);
}

void SearchBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 8, 8);
    painter.fillPath(shape, Theme::white(0.07));
}

} // namespace nabrix
