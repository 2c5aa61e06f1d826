// SPDX-License-Identifier: GPL-3.0-or-later
// An entry's date and time for the detail page: medium date, short time, user's locale.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace nabrix {

class EntryDateFormatter {
public:
    // With the formatter of the default QLocale, made once per process.
    static QString text(const QDateTime& date);
    static QString text(const QDateTime& date, const QLocale& locale);
};

} // namespace nabrix
