// SPDX-License-Identifier: GPL-3.0-or-later
// Requests for a preset age or a custom one.
#include "views/time_range_selection.h"

#include "i18n/text_catalogue.h"

namespace nabrix {

TimeRangeSelection TimeRangeSelection::make(double seconds, const QString& message)
{
    return {QUuid::createUuid(), seconds, message};
}

TimeRangeSelection TimeRangeSelection::forRange(HistoryTimeRange range)
{
    //: %1 is one of the phrases "an hour", "a day", "a week", "a month".
    //% "All items older than %1 will be deleted. This can’t be undone."
    return make(
        historyTimeRangeSeconds(range),
        catalogue::text("history.deleteOlderThan.message").arg(historyTimeRangePhrase(range)));
}

} // namespace nabrix
