// SPDX-License-Identifier: GPL-3.0-or-later
// The history as the history window lists it: every entry newest first, filtered by the search.
#pragma once

#include "history/history_entry.h"
#include "history/history_loader.h"
#include "history/history_search_index.h"
#include "history/search_text_cache.h"
#include "storage/clip_item.h"

#include <QAbstractListModel>
#include <QFutureWatcher>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QStringList>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace nabrix {

class StorageManager;

// Loads the entries' metadata once and then follows the store's change signals, so a
// capture costs one row, never a re-read of the history. Its rows are the entries that
// match the search text (one ClipItemRole each).
class HistoryListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(qsizetype totalCount READ totalCount NOTIFY totalCountChanged)

public:
    enum class Loading {
        Immediately,
        // Reads the history on a worker thread; until then the list is empty, and changes
        // of the store are applied once it is read. Destroying the list stops the worker
        // and waits for it.
        InBackground,
    };

    // Searches with the case rules of `searchLocale`, normally the user's.
    explicit HistoryListModel(StorageManager& storage, const QLocale& searchLocale = QLocale(),
                              Loading loading = Loading::Immediately, QObject* parent = nullptr);
    ~HistoryListModel() override;

    bool isLoaded() const { return !m_backgroundLoad; }

    QString searchText() const { return m_searchText; }
    // Shows only the entries whose search text contains `text` (folded); blank shows all.
    void setSearchText(const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The entry on `row`, with its search text once read: the first ask reads it off the
    // main thread and leaves it empty, and dataChanged() announces the row when it is in.
    ClipItem item(int row) const;
    std::optional<int> rowOf(const QUuid& id) const;
    // The rows' entries in order, without their search text (rows fetch theirs when drawn).
    QList<ClipItem> filteredItems() const;
    // Every entry of the history, whatever the search shows.
    qsizetype totalCount() const { return static_cast<qsizetype>(m_entries.size()); }

    // The entry on `row` without its search text, as filteredItems() has it.
    ClipItem itemAt(qsizetype row) const;
    QUuid idAt(qsizetype row) const;

Q_SIGNALS:
    void totalCountChanged();
    // A background load finished: the rows are there.
    void loaded();
    // The rows changed in their sequence or in an entry's flags.
    void rowsChanged();

private:
    using Ordinal = HistorySearchIndex::Ordinal;

    void startLoading(Loading loading);
    void finishBackgroundLoad();
    void adopt(LoadedHistory history);
    // Keeps a change of the store for after the background load; true when kept.
    bool deferWhileLoading(std::function<void()> change);
    bool contains(const QUuid& id) const;
    void insertItem(const ClipItem& item);
    void removeIds(const QList<QUuid>& ids);
    void removeOlderThan(const QDateTime& cutoff);
    void removeAll();
    void markSensitive(const QUuid& id);
    void applySearchText();

    // Removes entries (ascending ordinals) with the row signals of what was shown.
    void removeOrdinals(const std::vector<Ordinal>& ordinals);
    void eraseEntries(const std::vector<Ordinal>& ordinals);
    Ordinal ordinalOfRow(int row) const;
    int rowOfMatch(qsizetype matchPosition) const;
    void announceTexts(const QList<QUuid>& ids);

    StorageManager& m_storage;
    QString m_searchText;
    std::vector<HistoryEntry> m_entries; // oldest first, as the index counts them
    QStringList m_sourceApps;
    HistorySearchIndex m_index;
    // Search texts of recently drawn rows, and the row each was asked for.
    std::unique_ptr<SearchTextCache> m_texts;
    mutable QHash<QUuid, int> m_textRows;
    std::unique_ptr<QFutureWatcher<std::optional<LoadedHistory>>> m_backgroundLoad;
    std::vector<std::function<void()>> m_changesDuringLoad;
    std::stop_source m_stopLoading;
    // The background load's own worker, so that the list can wait for it alone.
    QThreadPool m_loader;
};

} // namespace nabrix
