// SPDX-License-Identifier: GPL-3.0-or-later
// The age of an entry as a short relative text, such as "5 min. ago", in the user's locale.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace nabrix {

class RelativeAgeFormatter {
public:
    enum class Unit { Second, Minute, Hour, Day, Week, Month, Year };
    struct Age {
        // Negative in the past, positive in the future; zero reads as just past.
        qint64 count = 0;
        Unit unit = Unit::Second;
        friend bool operator==(const Age&, const Age&) = default;
    };

    // The largest calendar unit of which at least one whole lies between the two times;
    // seconds when they are less than a second apart.
    static Age age(const QDateTime& date, const QDateTime& now);

    // The short relative text for `date` seen from `now`, with the formatter of the
    // default QLocale, made once per process.
    static QString text(const QDateTime& date, const QDateTime& now);
    // The same with a formatter of `locale`, made for this call.
    static QString text(const QDateTime& date, const QDateTime& now, const QLocale& locale);
};

} // namespace nabrix
