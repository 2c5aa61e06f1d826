// SPDX-License-Identifier: GPL-3.0-or-later
// Relative ages through ICU's RelativeDateTimeFormatter in its short style.
#include "views/relative_age_formatter.h"

#include "views/icu_text.h"

#include <memory>
#include <unicode/reldatefmt.h>

namespace nabrix {

namespace {

std::unique_ptr<icu::RelativeDateTimeFormatter> makeFormatter(const QLocale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    auto formatter = std::make_unique<icu::RelativeDateTimeFormatter>(
        icuLocale(locale), nullptr, UDAT_STYLE_SHORT, UDISPCTX_CAPITALIZATION_FOR_STANDALONE,
        status);
    if (U_FAILURE(status))
        return nullptr;
    return formatter;
}

URelativeDateTimeUnit icuUnit(RelativeAgeFormatter::Unit unit)
{
    switch (unit) {
    case RelativeAgeFormatter::Unit::Second:
        return UDAT_REL_UNIT_SECOND;
    case RelativeAgeFormatter::Unit::Minute:
        return UDAT_REL_UNIT_MINUTE;
    case RelativeAgeFormatter::Unit::Hour:
        return UDAT_REL_UNIT_HOUR;
    case RelativeAgeFormatter::Unit::Day:
        return UDAT_REL_UNIT_DAY;
    case RelativeAgeFormatter::Unit::Week:
        return UDAT_REL_UNIT_WEEK;
    case RelativeAgeFormatter::Unit::Month:
        return UDAT_REL_UNIT_MONTH;
    case RelativeAgeFormatter::Unit::Year:
        return UDAT_REL_UNIT_YEAR;
    }
    return UDAT_REL_UNIT_SECOND;
}

QString format(icu::RelativeDateTimeFormatter* formatter, const RelativeAgeFormatter::Age& age)
{
    if (!formatter)
        return {};
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    // ICU writes +0 as the future ("in 0 sec."); a zero age is a moment ago, and ICU takes
    // the direction of -0 from its sign.
    const double offset =
        age.count > 0 ? static_cast<double>(age.count) : -static_cast<double>(-age.count);
    formatter->formatNumeric(offset, icuUnit(age.unit), text, status);
    return U_FAILURE(status) ? QString() : fromIcu(text);
}

} // namespace

RelativeAgeFormatter::Age RelativeAgeFormatter::age(const QDateTime& date, const QDateTime& now)
{
    const bool past = date < now;
    const QDateTime earlier = (past ? date : now).toLocalTime();
    const QDateTime later = (past ? now : date).toLocalTime();
    const qint64 sign = past ? -1 : 1;

    // Whole years and months on the calendar, as a person counts them.
    int years = later.date().year() - earlier.date().year();
    if (years > 0 && earlier.addYears(years) > later)
        --years;
    if (years > 0)
        return {sign * years, Unit::Year};
    int months = (later.date().year() - earlier.date().year()) * 12 + later.date().month() -
                 earlier.date().month();
    if (months > 0 && earlier.addMonths(months) > later)
        --months;
    if (months > 0)
        return {sign * months, Unit::Month};

    const qint64 seconds = earlier.secsTo(later);
    const qint64 days = seconds / 86400;
    if (days >= 7)
        return {sign * (days / 7), Unit::Week};
    if (days > 0)
        return {sign * days, Unit::Day};
    if (seconds >= 3600)
        return {sign * (seconds / 3600), Unit::Hour};
    if (seconds >= 60)
        return {sign * (seconds / 60), Unit::Minute};
    return {sign * seconds, Unit::Second};
}

QString RelativeAgeFormatter::text(const QDateTime& date, const QDateTime& now)
{
    static const std::unique_ptr<icu::RelativeDateTimeFormatter> formatter =
        makeFormatter(QLocale());
    return format(formatter.get(), age(date, now));
}

QString RelativeAgeFormatter::text(const QDateTime& date, const QDateTime& now,
                                   const QLocale& locale)
{
    return format(makeFormatter(locale).get(), age(date, now));
}

} // namespace nabrix
