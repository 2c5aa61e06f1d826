// SPDX-License-Identifier: GPL-3.0-or-later
// The custom age: strict number parsing, unit words and the confirmation text.
#include "views/custom_range_sheet.h"

#include "i18n/text_catalogue.h"
#include "views/theme.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace nabrix {

namespace {

// strtod follows LC_NUMERIC, which Qt sets from the user's environment; the amount is read
// in the C locale whatever the user's is.
locale_t cNumericLocale()
{
    static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool isLeadingSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\0';
}

} // namespace

double CustomRangeSheet::unitSeconds(Unit unit)
{
    switch (unit) {
    case Unit::Hours:
        return 3600;
    case Unit::Days:
        return 86400;
    case Unit::Weeks:
        return 604800;
    case Unit::Months:
        return 2592000;
    }
    return 0;
}

QString CustomRangeSheet::unitTitle(Unit unit)
{
    switch (unit) {
    case Unit::Hours:
        //% "hours"
        return catalogue::text("history.customRange.unit.hours");
    case Unit::Days:
        //% "days"
        return catalogue::text("history.customRange.unit.days");
    case Unit::Weeks:
        //% "weeks"
        return catalogue::text("history.customRange.unit.weeks");
    case Unit::Months:
        //% "months"
        return catalogue::text("history.customRange.unit.months");
    }
    return {};
}

QString CustomRangeSheet::unitWord(Unit unit, double amount)
{
    if (amount != 1.0)
        return unitTitle(unit);
    switch (unit) {
    case Unit::Hours:
        //% "hour"
        return catalogue::text("history.customRange.unit.hour");
    case Unit::Days:
        //% "day"
        return catalogue::text("history.customRange.unit.day");
    case Unit::Weeks:
        //% "week"
        return catalogue::text("history.customRange.unit.week");
    case Unit::Months:
        //% "month"
        return catalogue::text("history.customRange.unit.month");
    }
    return {};
}

std::optional<double> CustomRangeSheet::parseAmount(const QString& amount)
{
    QString text = amount;
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty() || isLeadingSpace(bytes.front()))
        return std::nullopt;
    const char* begin = bytes.constData();
    char* end = nullptr;
    const double value = strtod_l(begin, &end, cNumericLocale());
    // A NUL inside the text stops the conversion early and leaves the rest unread.
    if (end != begin + bytes.size())
        return std::nullopt;
    if (!(value > 0))
        return std::nullopt;
    return value;
}

std::optional<CustomRangeSheet::Request> CustomRangeSheet::request(const QString& amount, Unit unit)
{
    const std::optional<double> value = parseAmount(amount);
    if (!value)
        return std::nullopt;
    //: %1 is the amount the person typed, %2 its unit word (hours, days, ...).
    //% "All items older than %1 %2 will be deleted. This can’t be undone."
    return Request{*value * unitSeconds(unit),
                   catalogue::text("history.deleteOlderThan.customMessage")
                       .arg(catalogue::amount(*value), unitWord(unit, *value))};
}

CustomRangeSheet::CustomRangeSheet(QWidget* parent)
    : OverlayCard(parent)
    //% "Delete items older than"
    , m_title(new QLabel(catalogue::text("history.customRange.title"), this))
    , m_amount(new QLineEdit(this))
    , m_unit(new QComboBox(this))
    //% "Cancel"
    , m_cancel(makeButton(catalogue::text("alert.cancel"), ButtonRole::Neutral))
    //% "Clear"
    , m_confirm(makeButton(catalogue::text("alert.clear"), ButtonRole::Destructive))
{
    setObjectName(QStringLiteral("customRangeSheet"));
    setAccessibleName(m_title->text());
    m_title->setFont(Theme::font(14, QFont::DemiBold));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);

    //% "Amount"
    m_amount->setPlaceholderText(catalogue::text("history.customRange.placeholder"));
    m_amount->setAccessibleName(m_amount->placeholderText());
    m_amount->setAlignment(Qt::AlignCenter);
    m_amount->setFixedWidth(72);
    m_amount->setFont(Theme::font(13));
    for (Unit unit : allUnits)
        m_unit->addItem(unitTitle(unit), static_cast<int>(unit));
    m_unit->setFixedWidth(96);
    m_unit->setFont(Theme::font(13));
    m_unit->setFocusPolicy(Qt::ClickFocus);

    auto* fields = new QHBoxLayout;
    fields->setSpacing(8);
    fields->addStretch(1);
    fields->addWidget(m_amount);
    fields->addWidget(m_unit);
    fields->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(m_cancel, 1);
    buttons->addWidget(m_confirm, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(16);
    layout->addWidget(m_title);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(m_amount, &QLineEdit::textChanged, this, &CustomRangeSheet::updateConfirmButton);
    connect(m_confirm, &QPushButton::clicked, this, &CustomRangeSheet::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CustomRangeSheet::reject);
    updateConfirmButton();
}

QString CustomRangeSheet::amount() const
{
    return m_amount->text();
}

void CustomRangeSheet::setAmount(const QString& amount)
{
    m_amount->setText(amount);
}

CustomRangeSheet::Unit CustomRangeSheet::unit() const
{
    return static_cast<Unit>(m_unit->currentData().toInt());
}

void CustomRangeSheet::setUnit(Unit unit)
{
    m_unit->setCurrentIndex(m_unit->findData(static_cast<int>(unit)));
}

bool CustomRangeSheet::canAccept() const
{
    return parseAmount(amount()).has_value();
}

QWidget* CustomRangeSheet::initialFocusWidget()
{
    return m_amount;
}

void CustomRangeSheet::accept()
{
    if (isFinished())
        return;
    if (const std::optional<Request> valid = request(amount(), unit()))
        Q_EMIT confirmed(valid->seconds, valid->message);
    finish();
}

void CustomRangeSheet::updateConfirmButton()
{
    m_confirm->setEnabled(canAccept());
}

} // namespace nabrix
