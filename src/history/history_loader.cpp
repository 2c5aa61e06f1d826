// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the history list's entries and search index, from the history file or from items.
#include "history/history_loader.h"

#include "storage/metadata_reader.h"

#include <QHash>
#include <thread>

namespace nabrix {

namespace {

// The entries with lower <= timestamp < upper (either bound open when absent), oldest first.
std::optional<LoadedHistory> readRange(const QString& filePath, const SearchFolding& folding,
                                       std::optional<qint64> lower, std::optional<qint64> upper,
                                       const std::stop_token& stop)
{
    LoadedHistory loaded{{}, {}, HistorySearchIndex(folding)};
    std::string folded;
    QHash<QByteArray, qint32> sourceAppIndex;
    const bool read = MetadataReader::read(
        filePath, lower, upper,
        [&loaded](qint64 entries) {
            loaded.entries.reserve(static_cast<std::size_t>(entries));
            // A guess at the folded text size; the arena grows past it when needed.
            loaded.index.reserve(entries, entries * 64);
        },
        [&](const StoredMetadata& row) {
            HistoryEntry entry;
            entry.id = row.id;
            entry.msecs = row.msecs;
            entry.type = row.type;
            if (row.sourceApp) {
                const QByteArray key(row.sourceApp->data(),
                                     static_cast<qsizetype>(row.sourceApp->size()));
                auto known = sourceAppIndex.constFind(key);
                if (known == sourceAppIndex.cend()) {
                    known =
                        sourceAppIndex.insert(key, static_cast<qint32>(loaded.sourceApps.size()));
                    loaded.sourceApps.append(QString::fromUtf8(key));
                }
                entry.sourceApp = *known;
            }
            entry.isSensitive = row.isSensitive;
            entry.setImageSize(row.imageSize);
            folded.clear();
            folding.appendFoldedUtf8(row.searchText, folded);
            loaded.index.appendFolded(folded);
            loaded.entries.push_back(entry);
        },
        stop);
    if (!read)
        return std::nullopt;
    return loaded;
}

// The timestamp that splits the history into two halves; none for a small history.
std::optional<qint64> middleTimestamp(const QString& filePath, const std::stop_token& stop)
{
    // Below this, a second thread costs more than it saves.
    constexpr qint64 smallestSplit = 20000;
    return MetadataReader::middleTimestamp(filePath, smallestSplit, stop);
}

// Appends `newer` to `older`, renumbering its source applications into older's table.
void join(LoadedHistory& older, LoadedHistory&& newer)
{
    std::vector<qint32> sourceApps;
    sourceApps.reserve(static_cast<std::size_t>(newer.sourceApps.size()));
    for (const QString& name : newer.sourceApps) {
        qsizetype known = older.sourceApps.indexOf(name);
        if (known < 0) {
            known = older.sourceApps.size();
            older.sourceApps.append(name);
        }
        sourceApps.push_back(static_cast<qint32>(known));
    }
    older.entries.reserve(older.entries.size() + newer.entries.size());
    for (HistoryEntry& entry : newer.entries) {
        if (entry.sourceApp >= 0)
            entry.sourceApp = sourceApps[static_cast<std::size_t>(entry.sourceApp)];
        older.entries.push_back(entry);
    }
    newer.entries = {};
    older.index.appendAll(newer.index);
}

} // namespace

std::optional<LoadedHistory> HistoryLoader::readFile(const QString& filePath,
                                                     const SearchFolding& folding,
                                                     const std::stop_token& stop)
{
    // Folding a large history is the cost of loading it: the older half is read on a
    // second thread meanwhile. Each half is read in its own transaction; the list applies
    // every change made after the load began, which covers what happens between the two.
    const std::optional<qint64> middle = middleTimestamp(filePath, stop);
    if (stop.stop_requested())
        return std::nullopt;
    std::optional<LoadedHistory> older;
    // Stopped and joined on any way out, so that it never outlives what it writes to.
    std::jthread olderHalf;
    if (middle) {
        olderHalf = std::jthread([&](const std::stop_token& own) {
            older = readRange(filePath, folding, std::nullopt, middle, own);
        });
    }
    const std::stop_callback stopOlderHalf(stop, [&olderHalf] { olderHalf.request_stop(); });
    std::optional<LoadedHistory> newer = readRange(filePath, folding, middle, std::nullopt, stop);
    if (olderHalf.joinable())
        olderHalf.join();
    if (stop.stop_requested() || !newer || (middle && !older))
        return std::nullopt;
    if (!older)
        older = std::move(newer);
    else
        join(*older, std::move(*newer));
    older->index.squeeze();
    older->entries.shrink_to_fit();
    return older;
}

LoadedHistory HistoryLoader::fromItems(const QList<ClipItem>& newestFirst,
                                       const SearchFolding& folding)
{
    LoadedHistory loaded{{}, {}, HistorySearchIndex(folding)};
    loaded.entries.reserve(static_cast<std::size_t>(newestFirst.size()));
    std::string folded;
    for (auto it = newestFirst.crbegin(); it != newestFirst.crend(); ++it) {
        loaded.entries.push_back(entryFor(*it, loaded.sourceApps));
        folded.clear();
        folding.appendFolded(it->searchString, folded);
        loaded.index.appendFolded(folded);
    }
    loaded.index.squeeze();
    return loaded;
}

HistoryEntry HistoryLoader::entryFor(const ClipItem& item, QStringList& sourceApps)
{
    HistoryEntry entry;
    entry.id = item.id;
    entry.msecs = item.timestamp.toMSecsSinceEpoch();
    entry.type = item.type;
    if (item.sourceAppBundleID) {
        qsizetype known = sourceApps.indexOf(*item.sourceAppBundleID);
        if (known < 0) {
            known = sourceApps.size();
            sourceApps.append(*item.sourceAppBundleID);
        }
        entry.sourceApp = static_cast<qint32>(known);
    }
    entry.isSensitive = item.isSensitive;
    entry.setImageSize(item.imageSize);
    return entry;
}

ClipItem HistoryLoader::itemFor(const HistoryEntry& entry, const QStringList& sourceApps)
{
    ClipItem item;
    item.id = entry.id;
    item.timestamp = entry.timestamp();
    item.type = entry.type;
    if (entry.sourceApp >= 0)
        item.sourceAppBundleID = sourceApps.at(entry.sourceApp);
    item.isSensitive = entry.isSensitive;
    item.imageSize = entry.imageSize();
    return item;
}

} // namespace nabrix
