// SPDX-License-Identifier: GPL-3.0-or-later
// The history as the history window lists it: every entry newest first, filtered by the search.
#include "history/history_list_model.h"

#include "history/history_roles.h"
#include "storage/storage_manager.h"

#include <QSet>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <utility>

namespace nabrix {

namespace {

// Rows removed in more separate runs than this are announced as a reset: each run costs a
// pass over the whole history, and so many runs only come from deleting checked entries.
constexpr std::size_t maxRemovalRuns = 32;

qint64 msecsOf(const HistoryEntry& entry)
{
    return entry.msecs;
}

} // namespace

HistoryListModel::HistoryListModel(StorageManager& storage, const QLocale& searchLocale,
                                   Loading loading, QObject* parent)
    : QAbstractListModel(parent)
    , m_storage(storage)
    , m_index(SearchFolding(searchLocale))
    , m_texts(std::make_unique<SearchTextCache>(storage))
{
    connect(m_texts.get(), &SearchTextCache::ready, this, &HistoryListModel::announceTexts);
    qRegisterMetaType<ClipItem>();

    connect(&storage, &StorageManager::itemInserted, this, [this](const ClipItem& item) {
        if (!deferWhileLoading([this, item] {
                // The worker may have read it already.
                if (!contains(item.id))
                    insertItem(item);
            }))
            insertItem(item);
    });
    connect(&storage, &StorageManager::itemsDeleted, this, [this](const QList<QUuid>& ids) {
        if (!deferWhileLoading([this, ids] { removeIds(ids); }))
            removeIds(ids);
    });
    connect(&storage, &StorageManager::itemsDeletedBefore, this, [this](const QDateTime& cutoff) {
        if (!deferWhileLoading([this, cutoff] { removeOlderThan(cutoff); }))
            removeOlderThan(cutoff);
    });
    connect(&storage, &StorageManager::allItemsDeleted, this, [this] {
        if (!deferWhileLoading([this] { removeAll(); }))
            removeAll();
    });
    connect(&storage, &StorageManager::itemMarkedSensitive, this, [this](const QUuid& id) {
        if (!deferWhileLoading([this, id] { markSensitive(id); }))
            markSensitive(id);
    });
    startLoading(loading);
}

HistoryListModel::~HistoryListModel()
{
    // A quit in the middle of a long load must not wait for the rest of it.
    m_stopLoading.request_stop();
    m_loader.waitForDone();
}

void HistoryListModel::setSearchText(const QString& text)
{
    if (m_searchText == text)
        return;
    m_searchText = text;
    // A background load applies the search text it finds when it is done.
    if (isLoaded())
        applySearchText();
}

void HistoryListModel::startLoading(Loading loading)
{
    StorageManager& storage = m_storage;
    // Changes the store could not save yet exist only in its memory, and then only its
    // own listing is complete.
    if (storage.hasPendingChanges()) {
        adopt(HistoryLoader::fromItems(storage.allItems(), m_index.folding()));
        return;
    }
    if (loading == Loading::Immediately) {
        auto loaded = HistoryLoader::readFile(storage.filePath(), m_index.folding());
        adopt(loaded ? std::move(*loaded)
                     : HistoryLoader::fromItems(storage.allItems(), m_index.folding()));
        return;
    }
    m_backgroundLoad = std::make_unique<QFutureWatcher<std::optional<LoadedHistory>>>();
    connect(m_backgroundLoad.get(), &QFutureWatcherBase::finished, this,
            &HistoryListModel::finishBackgroundLoad);
    m_backgroundLoad->setFuture(
        QtConcurrent::run(&m_loader, [path = storage.filePath(), folding = m_index.folding(),
                                      stop = m_stopLoading.get_token()] {
            return HistoryLoader::readFile(path, folding, stop);
        }));
}

void HistoryListModel::finishBackgroundLoad()
{
    std::optional<LoadedHistory> history = m_backgroundLoad->future().takeResult();
    m_backgroundLoad.reset();
    if (!history)
        history = HistoryLoader::fromItems(m_storage.allItems(), m_index.folding());
    adopt(std::move(*history));
    const std::vector<std::function<void()>> changes = std::exchange(m_changesDuringLoad, {});
    for (const auto& change : changes)
        change();
    if (rowCount() > 0)
        Q_EMIT rowsChanged();
    Q_EMIT loaded();
}

void HistoryListModel::adopt(LoadedHistory history)
{
    history.index.setQuery(m_searchText);
    const auto rows = static_cast<int>(history.index.matchCount());
    if (rows > 0)
        beginInsertRows(QModelIndex(), 0, rows - 1);
    m_entries = std::move(history.entries);
    m_sourceApps = std::move(history.sourceApps);
    m_index = std::move(history.index);
    if (rows > 0)
        endInsertRows();
    Q_EMIT totalCountChanged();
}

bool HistoryListModel::deferWhileLoading(std::function<void()> change)
{
    if (isLoaded())
        return false;
    m_changesDuringLoad.push_back(std::move(change));
    return true;
}

bool HistoryListModel::contains(const QUuid& id) const
{
    return std::any_of(m_entries.crbegin(), m_entries.crend(),
                       [&id](const HistoryEntry& entry) { return entry.id == id; });
}

int HistoryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_index.matchCount());
}

HistoryListModel::Ordinal HistoryListModel::ordinalOfRow(int row) const
{
    return m_index.matchAt(m_index.matchCount() - 1 - row);
}

int HistoryListModel::rowOfMatch(qsizetype matchPosition) const
{
    return static_cast<int>(m_index.matchCount() - 1 - matchPosition);
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == ClipItemRole)
        return QVariant::fromValue(item(index.row()));
    return {};
}

QHash<int, QByteArray> HistoryListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(ClipItemRole, QByteArrayLiteral("clipItem"));
    return names;
}

ClipItem HistoryListModel::item(int row) const
{
    const HistoryEntry& entry = m_entries[ordinalOfRow(row)];
    ClipItem item = HistoryLoader::itemFor(entry, m_sourceApps);
    if (std::optional<QString> text = m_texts->text(entry.id))
        item.searchString = std::move(*text);
    else
        m_textRows.insert(entry.id, row);
    return item;
}

void HistoryListModel::announceTexts(const QList<QUuid>& ids)
{
    std::optional<int> first;
    std::optional<int> last;
    for (const QUuid& id : ids) {
        // The row it was asked for, unless rows came or went since.
        std::optional<int> row = m_textRows.take(id);
        if (!row || *row >= rowCount() || idAt(*row) != id)
            row = rowOf(id);
        if (!row)
            continue;
        first = std::min(first.value_or(*row), *row);
        last = std::max(last.value_or(*row), *row);
    }
    if (first)
        Q_EMIT dataChanged(index(*first), index(*last), {ClipItemRole});
}

std::optional<int> HistoryListModel::rowOf(const QUuid& id) const
{
    for (qsizetype position = m_index.matchCount() - 1; position >= 0; --position) {
        if (m_entries[m_index.matchAt(position)].id == id)
            return rowOfMatch(position);
    }
    return std::nullopt;
}

QList<ClipItem> HistoryListModel::filteredItems() const
{
    QList<ClipItem> items;
    const int rows = rowCount();
    items.reserve(rows);
    for (int row = 0; row < rows; ++row)
        items.append(itemAt(row));
    return items;
}

ClipItem HistoryListModel::itemAt(qsizetype row) const
{
    return HistoryLoader::itemFor(m_entries[ordinalOfRow(static_cast<int>(row))], m_sourceApps);
}

QUuid HistoryListModel::idAt(qsizetype row) const
{
    return m_entries[ordinalOfRow(static_cast<int>(row))].id;
}

void HistoryListModel::insertItem(const ClipItem& item)
{
    std::string folded;
    m_index.folding().appendFolded(item.searchString, folded);
    // Captures are the newest entry; anything else (a clock set back) goes where its time
    // puts it, after the entries of the same time.
    const qint64 msecs = item.timestamp.toMSecsSinceEpoch();
    auto at = m_entries.end();
    if (!m_entries.empty() && msecs < msecsOf(m_entries.back())) {
        at = std::upper_bound(
            m_entries.begin(), m_entries.end(), msecs,
            [](qint64 time, const HistoryEntry& entry) { return time < msecsOf(entry); });
    }
    const auto ordinal = static_cast<Ordinal>(at - m_entries.begin());

    const bool shown = m_index.matchesFolded(folded);
    if (shown) {
        const int row = static_cast<int>(m_index.matchCount() - m_index.matchPosition(ordinal));
        beginInsertRows(QModelIndex(), row, row);
    }
    m_entries.insert(at, HistoryLoader::entryFor(item, m_sourceApps));
    m_index.insertFolded(ordinal, folded);
    m_texts->remember(item.id, item.searchString);
    if (shown) {
        endInsertRows();
        Q_EMIT rowsChanged();
    }
    Q_EMIT totalCountChanged();
}

void HistoryListModel::removeIds(const QList<QUuid>& ids)
{
    const QSet<QUuid> removed(ids.cbegin(), ids.cend());
    std::vector<Ordinal> ordinals;
    for (std::size_t ordinal = 0; ordinal < m_entries.size(); ++ordinal) {
        if (removed.contains(m_entries[ordinal].id))
            ordinals.push_back(static_cast<Ordinal>(ordinal));
    }
    removeOrdinals(ordinals);
}

void HistoryListModel::removeOlderThan(const QDateTime& cutoff)
{
    // Oldest first: the entries before the cutoff are a prefix.
    const qint64 msecs = cutoff.toMSecsSinceEpoch();
    const auto end =
        std::partition_point(m_entries.cbegin(), m_entries.cend(),
                             [msecs](const HistoryEntry& entry) { return msecsOf(entry) < msecs; });
    std::vector<Ordinal> ordinals(static_cast<std::size_t>(end - m_entries.cbegin()));
    for (std::size_t ordinal = 0; ordinal < ordinals.size(); ++ordinal)
        ordinals[ordinal] = static_cast<Ordinal>(ordinal);
    removeOrdinals(ordinals);
}

void HistoryListModel::removeAll()
{
    if (m_entries.empty())
        return;
    const int rows = rowCount();
    if (rows > 0)
        beginRemoveRows(QModelIndex(), 0, rows - 1);
    m_entries.clear();
    m_index.clear();
    m_texts->clear();
    if (rows > 0) {
        endRemoveRows();
        Q_EMIT rowsChanged();
    }
    Q_EMIT totalCountChanged();
}

void HistoryListModel::removeOrdinals(const std::vector<Ordinal>& ordinals)
{
    if (ordinals.empty())
        return;
    std::vector<Ordinal> hidden;
    // Runs of consecutive match positions are runs of adjacent rows.
    struct Run {
        qsizetype first;
        qsizetype last;
    };
    std::vector<Run> runs;
    for (const Ordinal ordinal : ordinals) {
        if (!m_index.isMatch(ordinal)) {
            hidden.push_back(ordinal);
            continue;
        }
        const qsizetype position = m_index.matchPosition(ordinal);
        if (!runs.empty() && runs.back().last + 1 == position)
            runs.back().last = position;
        else
            runs.push_back({position, position});
    }

    if (runs.size() > maxRemovalRuns) {
        beginResetModel();
        eraseEntries(ordinals);
        endResetModel();
    } else {
        // Hidden entries are no rows, and removing them leaves the match positions alone.
        eraseEntries(hidden);
        // From the newest run down, so the positions of the runs still to go stay valid.
        for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
            beginRemoveRows(QModelIndex(), rowOfMatch(run->last), rowOfMatch(run->first));
            std::vector<Ordinal> shown;
            for (qsizetype position = run->first; position <= run->last; ++position)
                shown.push_back(m_index.matchAt(position));
            eraseEntries(shown);
            endRemoveRows();
        }
    }
    if (!runs.empty())
        Q_EMIT rowsChanged();
    Q_EMIT totalCountChanged();
}

void HistoryListModel::eraseEntries(const std::vector<Ordinal>& ordinals)
{
    if (ordinals.empty())
        return;
    std::size_t kept = 0;
    auto removed = ordinals.cbegin();
    for (std::size_t ordinal = 0; ordinal < m_entries.size(); ++ordinal) {
        if (removed != ordinals.cend() && *removed == ordinal) {
            ++removed;
            continue;
        }
        if (kept != ordinal)
            m_entries[kept] = m_entries[ordinal];
        ++kept;
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(kept), m_entries.end());
    m_index.remove(ordinals);
}

void HistoryListModel::markSensitive(const QUuid& id)
{
    // Image checks finish shortly after the capture: the entry is almost always the newest.
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        if (entry->id != id)
            continue;
        if (entry->isSensitive)
            return;
        entry->isSensitive = true;
        const auto ordinal = static_cast<Ordinal>(m_entries.rend() - entry - 1);
        if (m_index.isMatch(ordinal)) {
            const QModelIndex changed = index(rowOfMatch(m_index.matchPosition(ordinal)));
            Q_EMIT dataChanged(changed, changed, {ClipItemRole});
            Q_EMIT rowsChanged();
        }
        return;
    }
}

void HistoryListModel::applySearchText()
{
    HistorySearchIndex::QueryResult result = m_index.evaluate(m_searchText);
    if (result.changed) {
        beginResetModel();
        m_index.apply(std::move(result));
        endResetModel();
        Q_EMIT rowsChanged();
    } else {
        m_index.apply(std::move(result));
    }
}

} // namespace nabrix
