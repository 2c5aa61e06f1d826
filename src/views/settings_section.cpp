// SPDX-License-Identifier: GPL-3.0-or-later
// One group of the settings form: a header with symbol and title, a card of rows, a footer.
#include "views/settings_section.h"

#include "views/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace nabrix {

namespace {

// The rounded panel that holds a section's rows.
class SectionCard final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        painter.fillPath(shape, Theme::white(0.05));
        painter.setPen(QPen(Theme::white(0.08), 1.0));
        painter.drawPath(shape);
    }
};

QWidget* hairline()
{
    auto* line = new QWidget;
    line->setFixedHeight(1);
    line->setAttribute(Qt::WA_StyledBackground);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Theme::white(0.08));
    line->setPalette(palette);
    return line;
}

} // namespace

SettingsSection::SettingsSection(const QString& symbol, const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_card(new SectionCard(this))
    , m_cardLayout(new QVBoxLayout(m_card))
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(6);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(4, 0, 0, 0);
    header->setSpacing(6);
    auto* icon = new QLabel(this);
    const int box = Theme::symbolBox(13);
    icon->setPixmap(Theme::symbol(symbol, Theme::secondaryText()).pixmap(box, box));
    icon->setFixedSize(box, box);
    auto* titleLabel = new QLabel(title, this);
    titleLabel->setFont(Theme::font(13, QFont::DemiBold));
    header->addWidget(icon);
    header->addWidget(titleLabel);
    header->addStretch();
    m_layout->addLayout(header);

    m_cardLayout->setContentsMargins(0, 0, 0, 0);
    m_cardLayout->setSpacing(0);
    m_layout->addWidget(m_card);
}

void SettingsSection::addRow(QWidget* row)
{
    if (m_cardLayout->count() > 0) {
        auto* divider = new QHBoxLayout;
        divider->setContentsMargins(12, 0, 12, 0);
        divider->addWidget(hairline());
        m_cardLayout->addLayout(divider);
    }
    row->setParent(m_card);
    m_cardLayout->addWidget(row);
}

QWidget* SettingsSection::addLabeledRow(const QString& label, QWidget* control)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(12, 7, 12, 7);
    layout->setSpacing(8);
    auto* text = new QLabel(label, row);
    text->setFont(Theme::font(13));
    layout->addWidget(text, 1);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    row->setMinimumHeight(36);
    addRow(row);
    return row;
}

void SettingsSection::setFooter(const QStringList& lines)
{
    auto* footer = new QVBoxLayout;
    footer->setContentsMargins(4, 0, 4, 0);
    footer->setSpacing(4);
    for (const QString& line : lines) {
        auto* label = new QLabel(line, this);
        label->setWordWrap(true);
        label->setFont(Theme::font(11));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Theme::secondaryText());
        label->setPalette(palette);
        footer->addWidget(label);
    }
    m_layout->addLayout(footer);
}

} // namespace nabrix
