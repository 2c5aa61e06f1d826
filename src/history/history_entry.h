// SPDX-License-Identifier: GPL-3.0-or-later
// What the history list keeps per entry: the metadata, without content or search text.
#pragma once

#include "storage/clip_type.h"

#include <QDateTime>
#include <QSize>
#include <QUuid>
#include <QtGlobal>
#include <optional>

namespace nabrix {

// A million of these sit in memory next to the folded search texts, so each is 40 bytes of
// plain values: no search text (rows fetch theirs from the store when they are drawn) and
// no date-time object (UTC milliseconds, which is what ordering and the age text need).
struct HistoryEntry {
    QUuid id;
    qint64 msecs = 0; // since the epoch
    // An image's stored pixel size; negative when there is none.
    qint32 imageWidth = -1;
    qint32 imageHeight = -1;
    // Index into the list's table of source applications (a few dozen distinct names);
    // negative when the entry has no source.
    qint32 sourceApp = -1;
    ClipType type = ClipType::Text;
    bool isSensitive = false;

    QDateTime timestamp() const { return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC); }
    std::optional<QSize> imageSize() const
    {
        if (imageWidth < 0 || imageHeight < 0)
            return std::nullopt;
        return QSize(imageWidth, imageHeight);
    }
    void setImageSize(const std::optional<QSize>& size)
    {
        imageWidth = size ? size->width() : -1;
        imageHeight = size ? size->height() : -1;
    }
};

static_assert(sizeof(HistoryEntry) <= 40);

} // namespace nabrix
