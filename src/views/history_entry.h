// What the history list keeps per entry: the metadata, without content or search text.
#pragma once

#include "storage/clip_type.h"

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QUuid>
#include <QtGlobal>
#include <optional>

namespace nabrix {

// A million of these must fit in memory next to the folded search texts, so the search
// text itself is not kept: rows fetch it from the store when they are drawn.
struct HistoryEntry {
    QUuid id;
    // UTC: creating a local date-time costs microseconds per entry, UTC costs nothing, and
    // both denote the same instant.
    QDateTime timestamp;
    // The plain text of a rich-text entry, which copying it back needs as the clipboard's
    // plain alternative; null for every other type.
    QString richTextPlain;
    std::optional<QSize> imageSize;
    // Index into the list's table of source applications (a few dozen distinct names).
    std::optional<qint32> sourceApp;
    ClipType type = ClipType::Text;
    bool isSensitive = false;
};

} // namespace nabrix
