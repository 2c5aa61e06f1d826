// SPDX-License-Identifier: GPL-3.0-or-later
// The persistent history: one SQLite file, written one transaction per change.
#pragma once

#include "storage/clip_item.h"
#include "storage/clock.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace SQLite {
class Database;
class Statement;
} // namespace SQLite

namespace nabrix {

class StorageManager : public QObject {
    Q_OBJECT
public:
    struct OpenResult {
        std::unique_ptr<StorageManager> storage;
        QString error; // set when storage is null
    };

    // Opens or creates the history at `filePath` (its directory is created private).
    // A file that is not a history of this schema is left untouched and reported.
    static OpenResult open(const QString& filePath, Clock clock = systemClock());
    // Opens an existing history for reading only, as programs beside the running one do:
    // nothing is created, converted or written, and the result must not be changed.
    static OpenResult openForReading(const QString& filePath);
    ~StorageManager() override;

    // Newest entry by timestamp; none for an empty store or a failed read.
    std::optional<ClipItem> latestItem();
    // Every entry, newest first, without content bytes.
    QList<ClipItem> allItems();
    std::optional<ClipItem> item(const QUuid& id);
    std::optional<QByteArray> contentData(const QUuid& id);
    // Reads an entry's content when called, on any thread: held in memory while its save
    // is pending, otherwise read through a read-only connection of its own.
    using ContentLoad = std::function<std::optional<QByteArray>()>;
    ContentLoad contentLoad(const QUuid& id) const;
    // The search texts of `ids`, read like contentLoad: entries not yet saved answer from
    // memory, the rest through a connection of the worker's own. An id the answer lacks
    // was not found.
    using SearchTextsLoad = std::function<QHash<QUuid, QString>()>;
    SearchTextsLoad searchTextsLoad(const QList<QUuid>& ids) const;

    // Each write below changes the history at once (signals included) and saves. A save
    // that fails keeps the change pending; the next save retries it.
    void insert(const ClipItem& item, const QByteArray& contentData);
    void deleteItem(const QUuid& id);
    void deleteItems(const QList<ClipItem>& items);
    void deleteItemsBefore(const QDateTime& date);
    void deleteAll();
    void purgeExpired(int retentionDays);
    void markSensitive(const QUuid& id);

    // Writes the pending changes in one transaction; true when nothing is left pending.
    // After a failure the store tries again by itself every `retryInterval` (with an
    // event loop), so that changes reach the disk once it has room without waiting for
    // the next change.
    bool save();
    static constexpr std::chrono::seconds retryInterval{5};
    bool hasPendingChanges() const { return !m_pending.empty(); }
    qsizetype pendingChangeCount() const { return qsizetype(m_pending.size()); }
    // Why the last save failed (SQLite's words); empty after a save that succeeded.
    QString lastSaveError() const { return m_lastSaveError; }
    QString filePath() const { return m_filePath; }

Q_SIGNALS:
    void itemInserted(const nabrix::ClipItem& item);
    void itemsDeleted(const QList<QUuid>& ids);
    void itemsDeletedBefore(const QDateTime& cutoff);
    void allItemsDeleted();
    void itemMarkedSensitive(const QUuid& id);

private:
    struct Insert {
        ClipItem item;
        QByteArray contentData;
    };
    struct Delete {
        QList<QUuid> ids;
    };
    struct DeleteBefore {
        QDateTime cutoff;
    };
    struct DeleteAll {};
    struct MarkSensitive {
        QUuid id;
    };
    using Change = std::variant<Insert, Delete, DeleteBefore, DeleteAll, MarkSensitive>;

    StorageManager(std::unique_ptr<SQLite::Database> db, QString filePath, Clock clock);
    void apply(const Change& change, bool bulk);
    void keepOnlyFrom(qint64 cutoffMs);
    void applyPendingTo(QList<ClipItem>& items) const;
    // The newest pending insert of `id`, if its entry is not saved yet.
    const Insert* pendingInsert(const QUuid& id) const;
    void enqueue(Change change);
    qint64 contentBytesDeletedBy(const Change& change) const;
    bool pendingDeletionsFreeMostOfTheFile() const;
    void compact();

    std::unique_ptr<SQLite::Database> m_db;
    QString m_filePath;
    Clock m_clock;
    std::vector<Change> m_pending;
    QTimer m_retryTimer;
    QString m_lastSaveError;
    // A bulk deletion committed without zeroing its pages; they leave the file only when
    // it is rewritten.
    bool m_compactionOwed = false;
};

} // namespace nabrix
