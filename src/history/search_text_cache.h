// SPDX-License-Identifier: GPL-3.0-or-later
// The search texts of the rows being drawn, read from the store off the main thread.
#pragma once

#include <QCache>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QUuid>
#include <optional>

namespace nabrix {

class StorageManager;

// Rows ask while they paint, so an ask never waits for the store: a miss answers nothing
// and queues the id; the ids queued in one pass of the event loop are read together on
// the cache's own worker, and ready() names them once they are in. Bounded in characters,
// so a long scroll holds no copy of the history.
class SearchTextCache : public QObject {
    Q_OBJECT
public:
    // A screenful of rows needs a few dozen texts.
    static constexpr qsizetype defaultCapacity = qsizetype(4) * 1024 * 1024;

    explicit SearchTextCache(StorageManager& storage, qsizetype capacity = defaultCapacity,
                             QObject* parent = nullptr);
    ~SearchTextCache() override;

    std::optional<QString> text(const QUuid& id);
    void remember(const QUuid& id, const QString& text);
    void clear() { m_texts.clear(); }
    // Drops the reads not yet started and waits for the running one; asks after this
    // stay unanswered.
    void stop();

Q_SIGNALS:
    // What was read; an entry no longer in the store reads as an empty text.
    void ready(const QList<QUuid>& ids);

private:
    void readAsked();

    StorageManager& m_storage;
    QCache<QUuid, QString> m_texts;
    QList<QUuid> m_queued;
    QSet<QUuid> m_asked; // queued or being read
    QThreadPool m_reader;
    bool m_stopped = false;
};

} // namespace nabrix
