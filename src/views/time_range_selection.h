// SPDX-License-Identifier: GPL-3.0-or-later
// A delete-older-than request waiting for the user's confirmation.
#pragma once

#include "views/history_time_range.h"

#include <QString>
#include <QUuid>

namespace nabrix {

struct TimeRangeSelection {
    // Every request is a new one, even for an age asked for before.
    QUuid id;
    // Entries older than now minus this many seconds go.
    double seconds = 0;
    // The whole confirmation text, already in the user's language.
    QString message;

    static TimeRangeSelection make(double seconds, const QString& message);
    static TimeRangeSelection forRange(HistoryTimeRange range);
};

} // namespace nabrix
