// SPDX-License-Identifier: GPL-3.0-or-later
// Absolute dates through ICU's DateFormat (medium date, short time).
#include "views/entry_date_formatter.h"

#include "views/icu_text.h"

#include <memory>
#include <unicode/datefmt.h>

namespace nabrix {

namespace {

std::unique_ptr<icu::DateFormat> makeFormatter(const QLocale& locale)
{
    return std::unique_ptr<icu::DateFormat>(icu::DateFormat::createDateTimeInstance(
        icu::DateFormat::kMedium, icu::DateFormat::kShort, icuLocale(locale)));
}

QString format(icu::DateFormat* formatter, const QDateTime& date)
{
    if (!formatter || !date.isValid())
        return {};
    icu::UnicodeString text;
    formatter->format(static_cast<UDate>(date.toMSecsSinceEpoch()), text);
    return fromIcu(text);
}

} // namespace

QString EntryDateFormatter::text(const QDateTime& date)
{
    static const std::unique_ptr<icu::DateFormat> formatter = makeFormatter(QLocale());
    return format(formatter.get(), date);
}

QString EntryDateFormatter::text(const QDateTime& date, const QLocale& locale)
{
    return format(makeFormatter(locale).get(), date);
}

} // namespace nabrix
