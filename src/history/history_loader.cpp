// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the history list's entries and search index, from the history file or from items.
#include "history/history_loader.h"

#include <QFile>
#include <QHash>
#include <SQLiteCpp/SQLiteCpp.h>
#include <limits>
#include <string_view>
#include <thread>

namespace nabrix {

namespace {

std::string_view textOf(const SQLite::Column& column)
{
    const char* text = column.getText();
    return {text, static_cast<std::size_t>(column.getBytes())};
}

std::optional<ClipType> typeOf(std::string_view raw)
{
    if (raw == "text")
        return ClipType::Text;
    if (raw == "rtf")
        return ClipType::Rtf;
    if (raw == "image")
        return ClipType::Image;
    if (raw == "file")
        return ClipType::File;
    return std::nullopt;
}

} // namespace

namespace {

// The entries with lower <= timestamp < upper (either bound open when absent), oldest first.
std::optional<LoadedHistory> readRange(const QString& filePath, const SearchFolding& folding,
                                       std::optional<qint64> lower, std::optional<qint64> upper)
{
    LoadedHistory loaded{{}, {}, HistorySearchIndex(folding)};
    std::string folded;
    try {
        SQLite::Database db(QFile::encodeName(filePath).toStdString(), SQLite::OPEN_READONLY, 2000);
        db.exec("PRAGMA foreign_keys = ON");
        const std::string range = " WHERE timestamp >= ?1 AND timestamp < ?2 ";
        const auto bindRange = [&lower, &upper](SQLite::Statement& statement) {
            statement.bind(
                1, static_cast<int64_t>(lower.value_or(std::numeric_limits<qint64>::min())));
            statement.bind(
                2, static_cast<int64_t>(upper.value_or(std::numeric_limits<qint64>::max())));
        };
        SQLite::Statement count(db, "SELECT count(*) FROM clip_items" + range);
        bindRange(count);
        if (count.executeStep()) {
            const auto entries = count.getColumn(0).getInt64();
            loaded.entries.reserve(static_cast<std::size_t>(entries));
            // A guess at the folded text size; the arena grows past it when needed.
            loaded.index.reserve(entries, entries * 64);
        }

        // Oldest first: new captures then simply append.
        SQLite::Statement query(db, "SELECT id, timestamp, type, search_string, "
                                    "source_app_bundle_id, is_sensitive, image_width, image_height "
                                    "FROM clip_items" +
                                        range + "ORDER BY timestamp ASC");
        bindRange(query);
        QHash<QByteArray, qint32> sourceAppIndex;
        while (query.executeStep()) {
            const auto type = typeOf(textOf(query.getColumn(2)));
            if (!type)
                continue;
            HistoryEntry entry;
            const std::string_view id = textOf(query.getColumn(0));
            entry.id =
                QUuid::fromString(QLatin1StringView(id.data(), static_cast<qsizetype>(id.size())));
            entry.msecs = query.getColumn(1).getInt64();
            entry.type = *type;
            const std::string_view searchText = textOf(query.getColumn(3));
            if (const SQLite::Column source = query.getColumn(4); !source.isNull()) {
                const std::string_view name = textOf(source);
                const QByteArray key(name.data(), static_cast<qsizetype>(name.size()));
                auto known = sourceAppIndex.constFind(key);
                if (known == sourceAppIndex.cend()) {
                    known =
                        sourceAppIndex.insert(key, static_cast<qint32>(loaded.sourceApps.size()));
                    loaded.sourceApps.append(QString::fromUtf8(key));
                }
                entry.sourceApp = *known;
            }
            entry.isSensitive = query.getColumn(5).getInt() != 0;
            if (!query.getColumn(6).isNull() && !query.getColumn(7).isNull())
                entry.setImageSize(QSize(query.getColumn(6).getInt(), query.getColumn(7).getInt()));
            folded.clear();
            folding.appendFoldedUtf8(searchText, folded);
            loaded.index.appendFolded(folded);
            loaded.entries.push_back(entry);
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return loaded;
}

// The timestamp that splits the history into two halves; none for a small history.
std::optional<qint64> middleTimestamp(const QString& filePath)
{
    // Below this, a second thread costs more than it saves.
    constexpr qint64 smallestSplit = 20000;
    try {
        SQLite::Database db(QFile::encodeName(filePath).toStdString(), SQLite::OPEN_READONLY, 2000);
        const qint64 entries = db.execAndGet("SELECT count(*) FROM clip_items").getInt64();
        if (entries < smallestSplit)
            return std::nullopt;
        SQLite::Statement middle(
            db, "SELECT timestamp FROM clip_items ORDER BY timestamp ASC LIMIT 1 OFFSET ?");
        middle.bind(1, static_cast<int64_t>(entries / 2));
        if (middle.executeStep())
            return middle.getColumn(0).getInt64();
    } catch (const std::exception&) {
    }
    return std::nullopt;
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
                                                     const SearchFolding& folding)
{
    // Folding a large history is the cost of loading it: the older half is read on a
    // second thread meanwhile. Each half is read in its own transaction; the list applies
    // every change made after the load began, which covers what happens between the two.
    const std::optional<qint64> middle = middleTimestamp(filePath);
    std::optional<LoadedHistory> older;
    std::thread olderHalf;
    if (middle) {
        olderHalf =
            std::thread([&] { older = readRange(filePath, folding, std::nullopt, middle); });
    }
    std::optional<LoadedHistory> newer = readRange(filePath, folding, middle, std::nullopt);
    if (olderHalf.joinable())
        olderHalf.join();
    if (!newer || (middle && !older))
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
