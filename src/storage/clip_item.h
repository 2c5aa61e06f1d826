// SPDX-License-Identifier: GPL-3.0-or-later
// One history entry's metadata; its content bytes are fetched separately on demand.
#pragma once

#include "storage/clip_type.h"

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QUuid>
#include <optional>

namespace nabrix {

struct ClipItem {
    QUuid id;
    QDateTime timestamp;
    ClipType type = ClipType::Text;
    QString searchString;
    std::optional<QString> sourceAppBundleID;
    bool isSensitive = false;
    // Pixel size of an image entry, so rows can be laid out without decoding it.
    std::optional<QSize> imageSize;

    // Entries are the same entry when they denote the same stored record.
    friend bool operator==(const ClipItem& a, const ClipItem& b) { return a.id == b.id; }
};

// Lower-case 8-4-4-4-12 text of an entry identifier, as stored.
inline QString idText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces);
}

} // namespace nabrix
