// SPDX-License-Identifier: GPL-3.0-or-later
// Item roles shared by the history list model and the widgets that draw it.
#pragma once

#include "storage/clip_item.h"

#include <QMetaType>

namespace nabrix {

enum HistoryRole {
    // The row's ClipItem (metadata only), as a QVariant.
    ClipItemRole = Qt::UserRole + 1,
};

} // namespace nabrix

Q_DECLARE_METATYPE(nabrix::ClipItem)
