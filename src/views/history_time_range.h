// SPDX-License-Identifier: GPL-3.0-or-later
// The preset ages of the delete-older-than menu.
#pragma once

#include <QString>
#include <array>

namespace nabrix {

enum class HistoryTimeRange { Hour, Day, Week, Month };

// In menu order.
inline constexpr std::array allHistoryTimeRanges{HistoryTimeRange::Hour, HistoryTimeRange::Day,
                                                 HistoryTimeRange::Week, HistoryTimeRange::Month};

QString historyTimeRangeRawValue(HistoryTimeRange range);
// A month is 30 days, whatever the calendar says.
double historyTimeRangeSeconds(HistoryTimeRange range);
// The menu entry.
QString historyTimeRangeTitle(HistoryTimeRange range);
// What the confirmation message says the entries are older than.
QString historyTimeRangePhrase(HistoryTimeRange range);

} // namespace nabrix
