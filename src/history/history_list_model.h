// SPDX-License-Identifier: GPL-3.0-or-later
// The history as the history window lists it: every entry newest first, filtered by the search.
#pragma once

#include "app/clip_item_sequence.h"
#include "history/history_entry.h"
#include "history/history_loader.h"
#include "history/history_search_index.h"
#include "storage/clip_item.h"

#include <QAbstractListModel>
#include <QCache>
#include <QFutureWatcher>
#include <QList>
#include <QLocale>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nabrix {

class AppModel;

// Loads the entries' metadata once and then follows the store's change signals, so a
// capture costs one row, never a re-read of the history. Its rows are the entries that
// match the application model's search text (one ClipItemRole each), and it hands that
// list to the application model whenever the sequence of entries changes: a view onto its
// rows, so the hand-over costs nothing whatever the size of the history.
class HistoryListModel : public QAbstractListModel, private ClipItemSequence::Provider {
    Q_OBJECT
    Q_PROPERTY(qsizetype totalCount READ totalCount NOTIFY totalCountChanged)

public:
    enum class Loading {
        Immediately,
        // Reads the history on a worker thread; until then the list is empty, and changes
        // of the store are applied once it is read.
        InBackground,
    };

    // Searches with the case rules of `searchLocale`, normally the user's.
    explicit HistoryListModel(AppModel& model, const QLocale& searchLocale = QLocale(),
                              Loading loading = Loading::Immediately, QObject* parent = nullptr);
    ~HistoryListModel() override;

    bool isLoaded() const { return !m_backgroundLoad; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The entry on `row`, with its search text (read from the store when first needed).
    ClipItem item(int row) const;
    std::optional<int> rowOf(const QUuid& id) const;
    // The rows' entries in order, without their search text (rows fetch theirs when drawn).
    QList<ClipItem> filteredItems() const;
    // Every entry of the history, whatever the search shows.
    qsizetype totalCount() const { return static_cast<qsizetype>(m_entries.size()); }

    qsizetype itemCount() const override { return rowCount(); }
    // The entry on `row` without its search text, as filteredItems() has it.
    ClipItem itemAt(qsizetype row) const override;
    QUuid idAt(qsizetype row) const override;

    // The history view came on screen: the application model gets the list as shown.
    void handleViewShown();

Q_SIGNALS:
    void totalCountChanged();
    // A background load finished: the rows are there.
    void loaded();

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
    void handOver();
    Ordinal ordinalOfRow(int row) const;
    int rowOfMatch(qsizetype matchPosition) const;
    QString searchTextOf(const HistoryEntry& entry) const;
    void rememberText(const QUuid& id, const QString& text) const;

    AppModel& m_model;
    std::vector<HistoryEntry> m_entries; // oldest first, as the index counts them
    QStringList m_sourceApps;
    HistorySearchIndex m_index;
    // Search texts of recently drawn rows, by entry id.
    mutable QCache<QUuid, QString> m_texts;
    std::unique_ptr<QFutureWatcher<std::optional<LoadedHistory>>> m_backgroundLoad;
    std::vector<std::function<void()>> m_changesDuringLoad;
};

} // namespace nabrix
