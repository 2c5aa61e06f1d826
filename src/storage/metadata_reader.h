// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the entries' metadata straight from a history file, for building the history list.
#pragma once

#include "storage/clip_type.h"

#include <QSize>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>
#include <stop_token>
#include <string_view>

namespace nabrix {

// One entry's metadata as stored. The texts are UTF-8 and valid only during the visit.
struct StoredMetadata {
    QUuid id;
    qint64 msecs = 0; // since the epoch
    ClipType type = ClipType::Text;
    std::string_view searchText;
    std::optional<std::string_view> sourceApp;
    bool isSensitive = false;
    std::optional<QSize> imageSize;
};

// Each call opens a read-only connection of its own, so that it may run on any thread; it
// sees only what the store has saved. A call whose `stop` is requested ends within moments,
// as one that cannot read the file.
class MetadataReader {
public:
    // The entries with lower <= timestamp < upper (an absent bound is open), oldest first,
    // in one statement. `sized` hears how many there are before the first visit. False
    // when the file cannot be read; entries of a type this program does not write are skipped.
    static bool read(const QString& filePath, std::optional<qint64> lower,
                     std::optional<qint64> upper, const std::function<void(qint64)>& sized,
                     const std::function<void(const StoredMetadata&)>& visit,
                     const std::stop_token& stop = {});
    // The timestamp that splits the history into two halves; none below `minimumEntries`
    // or when the file cannot be read.
    static std::optional<qint64> middleTimestamp(const QString& filePath, qint64 minimumEntries,
                                                 const std::stop_token& stop = {});
};

} // namespace nabrix
