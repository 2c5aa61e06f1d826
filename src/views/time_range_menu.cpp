// SPDX-License-Identifier: GPL-3.0-or-later
// Entries of the delete-older-than menu.
#include "views/time_range_menu.h"

#include "i18n/text_catalogue.h"

namespace nabrix {

TimeRangeMenu::TimeRangeMenu(QWidget* parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("timeRangeMenu"));
    for (HistoryTimeRange range : allHistoryTimeRanges) {
        QAction* action = addAction(historyTimeRangeTitle(range));
        action->setData(historyTimeRangeRawValue(range));
        connect(action, &QAction::triggered, this, [this, range] { Q_EMIT rangeChosen(range); });
    }
    addSeparator();
    //% "Custom…"
    QAction* custom = addAction(catalogue::text("history.customRange.menu"));
    custom->setData(QStringLiteral("custom"));
    connect(custom, &QAction::triggered, this, &TimeRangeMenu::customRangeRequested);
}

} // namespace nabrix
