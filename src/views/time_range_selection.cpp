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
    return make(historyTimeRangeSeconds(range),
                catalogue::text("history.deleteOlderThan.message", historyTimeRangePhrase(range)));
}

} // namespace nabrix
