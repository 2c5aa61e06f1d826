// SPDX-License-Identifier: GPL-3.0-or-later
// What history rows show beyond the metadata, read from the store off the main thread.
#pragma once

#include <QByteArray>
#include <QCache>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QThreadPool>
#include <QUuid>
#include <functional>
#include <optional>

namespace nabrix {

// Rows ask while they paint, so an ask never waits for the store: a miss starts a read on
// the cache's own pool and answers Pending; ready() announces the entry once it is in. Only
// the most recently asked entries are kept, so a long scroll holds no copy of the history.
class RowContentCache : public QObject {
    Q_OBJECT
public:
    using Load = std::function<std::optional<QByteArray>()>;
    // Called on the main thread; the load it returns runs on a worker.
    using LoadFor = std::function<Load(const QUuid&)>;
    enum class State { Pending, Ready, Unreadable };
    struct Files {
        State state = State::Pending;
        QStringList names;
    };
    static constexpr int defaultCapacity = 256;

    explicit RowContentCache(LoadFor loadFor, int capacity = defaultCapacity,
                             QObject* parent = nullptr);
    ~RowContentCache() override;

    // The file names of a file entry; Unreadable when its content is not a list of names.
    Files files(const QUuid& id);
    // Drops the reads not yet started and waits for the running ones; asks after this
    // stay Pending.
    void stop();

Q_SIGNALS:
    void ready(const QUuid& id);

private:
    LoadFor m_loadFor;
    QCache<QUuid, Files> m_files;
    QSet<QUuid> m_pending;
    QThreadPool m_pool;
    bool m_stopped = false;
};

} // namespace nabrix
