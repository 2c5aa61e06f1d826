// SPDX-License-Identifier: GPL-3.0-or-later
// Seconds and texts of the preset ages.
#include "views/history_time_range.h"

#include "i18n/text_catalogue.h"

namespace nabrix {

QString historyTimeRangeRawValue(HistoryTimeRange range)
{
    switch (range) {
    case HistoryTimeRange::Hour:
        return QStringLiteral("hour");
    case HistoryTimeRange::Day:
        return QStringLiteral("day");
    case HistoryTimeRange::Week:
        return QStringLiteral("week");
    case HistoryTimeRange::Month:
        return QStringLiteral("month");
    }
    return {};
}

double historyTimeRangeSeconds(HistoryTimeRange range)
{
    switch (range) {
    case HistoryTimeRange::Hour:
        return 3600;
    case HistoryTimeRange::Day:
        return 86400;
    case HistoryTimeRange::Week:
        return 604800;
    case HistoryTimeRange::Month:
        return 2592000;
    }
    return 0;
}

QString historyTimeRangeTitle(HistoryTimeRange range)
{
    switch (range) {
    case HistoryTimeRange::Hour:
        //% "Older than an hour"
        return catalogue::text("history.range.hour");
    case HistoryTimeRange::Day:
        //% "Older than a day"
        return catalogue::text("history.range.day");
    case HistoryTimeRange::Week:
        //% "Older than a week"
        return catalogue::text("history.range.week");
    case HistoryTimeRange::Month:
        //% "Older than a month"
        return catalogue::text("history.range.month");
    }
    return {};
}

QString historyTimeRangePhrase(HistoryTimeRange range)
{
    switch (range) {
    case HistoryTimeRange::Hour:
        //: Fills %1 of "All items older than %1 will be deleted."
        //% "an hour"
        return catalogue::text("history.rangePhrase.hour");
    case HistoryTimeRange::Day:
        //: Fills %1 of "All items older than %1 will be deleted."
        //% "a day"
        return catalogue::text("history.rangePhrase.day");
    case HistoryTimeRange::Week:
        //: Fills %1 of "All items older than %1 will be deleted."
        //% "a week"
        return catalogue::text("history.rangePhrase.week");
    case HistoryTimeRange::Month:
        //: Fills %1 of "All items older than %1 will be deleted."
        //% "a month"
        return catalogue::text("history.rangePhrase.month");
    }
    return {};
}

} // namespace nabrix
