// SPDX-License-Identifier: GPL-3.0-or-later
// The context menu of one history row.
#pragma once

#include "storage/clip_item.h"

class QMenu;
class QWidget;

namespace nabrix {

class AppModel;
class ClipRowView;

class ClipRowMenu {
public:
    // Copy, paste, details, reveal or hide for a sensitive entry, and delete; each action
    // is a request of `rows`. The caller owns the menu.
    static QMenu* create(const AppModel& model, ClipRowView& rows, const ClipItem& item,
                         QWidget* parent);
};

} // namespace nabrix
