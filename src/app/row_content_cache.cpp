// SPDX-License-Identifier: GPL-3.0-or-later
// Row content decoded on the cache's pool and handed back to the main thread.
#include "app/row_content_cache.h"

#include "storage/json_string_array.h"

#include <QFuture>
#include <QtConcurrent>

namespace nabrix {

RowContentCache::RowContentCache(LoadFor loadFor, int capacity, QObject* parent)
    : QObject(parent)
    , m_loadFor(std::move(loadFor))
    , m_files(capacity)
{
    // Reads are short and the rows on screen few: one worker keeps them off the main
    // thread without competing with it.
    m_pool.setMaxThreadCount(1);
}

RowContentCache::~RowContentCache()
{
    stop();
}

RowContentCache::Files RowContentCache::files(const QUuid& id)
{
    if (const Files* cached = m_files.object(id))
        return *cached;
    if (m_stopped || m_pending.contains(id))
        return {};
    m_pending.insert(id);
    QtConcurrent::run(&m_pool, [load = m_loadFor(id)] {
        const std::optional<QByteArray> bytes = load();
        return bytes ? decodeJsonStringArray(*bytes) : std::nullopt;
    }).then(this, [this, id](const std::optional<QStringList>& names) {
        m_pending.remove(id);
        m_files.insert(
            id, new Files{names ? State::Ready : State::Unreadable, names.value_or(QStringList())});
        Q_EMIT ready(id);
    });
    return {};
}

void RowContentCache::stop()
{
    m_stopped = true;
    m_pool.clear();
    m_pool.waitForDone();
}

} // namespace nabrix
