// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the history list's entries and search index, from the history file or from items.
#pragma once

#include "history/history_entry.h"
#include "history/history_search_index.h"
#include "storage/clip_item.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <stop_token>
#include <vector>

namespace nabrix {

struct LoadedHistory {
    std::vector<HistoryEntry> entries; // oldest first, as the index counts them
    QStringList sourceApps;            // what HistoryEntry::sourceApp indexes
    HistorySearchIndex index;
};

class HistoryLoader {
public:
    // Reads every entry of the history file through a read-only connection of its own, so
    // that it may run on a worker thread; none when the file cannot be read or `stop` is
    // requested (then within moments). It sees only what the store has saved.
    static std::optional<LoadedHistory> readFile(const QString& filePath,
                                                 const SearchFolding& folding,
                                                 const std::stop_token& stop = {});
    // The same from items already in memory, newest first (StorageManager::allItems()).
    static LoadedHistory fromItems(const QList<ClipItem>& newestFirst,
                                   const SearchFolding& folding);

    // The entry for `item`; its source application is looked up in, or added to, `sourceApps`.
    static HistoryEntry entryFor(const ClipItem& item, QStringList& sourceApps);
    // The inverse, without the search text.
    static ClipItem itemFor(const HistoryEntry& entry, const QStringList& sourceApps);
};

} // namespace nabrix
