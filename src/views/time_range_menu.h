// SPDX-License-Identifier: GPL-3.0-or-later
// The delete-older-than menu: the preset ages, then a custom age.
#pragma once

#include "views/history_time_range.h"

#include <QMenu>

namespace nabrix {

class TimeRangeMenu : public QMenu {
    Q_OBJECT
public:
    explicit TimeRangeMenu(QWidget* parent = nullptr);

Q_SIGNALS:
    void rangeChosen(nabrix::HistoryTimeRange range);
    void customRangeRequested();
};

} // namespace nabrix
