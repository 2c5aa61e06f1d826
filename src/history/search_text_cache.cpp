// SPDX-License-Identifier: GPL-3.0-or-later
// Search texts read in batches on the cache's worker and handed back to the main thread.
#include "history/search_text_cache.h"

#include "storage/storage_manager.h"

#include <QFuture>
#include <QtConcurrent>
#include <algorithm>
#include <utility>

namespace nabrix {

SearchTextCache::SearchTextCache(StorageManager& storage, qsizetype capacity, QObject* parent)
    : QObject(parent)
    , m_storage(storage)
    , m_texts(capacity)
{
    // One read at a time: the rows on screen are few, and the main thread keeps a core.
    m_reader.setMaxThreadCount(1);
}

SearchTextCache::~SearchTextCache()
{
    stop();
}

std::optional<QString> SearchTextCache::text(const QUuid& id)
{
    if (const QString* cached = m_texts.object(id))
        return *cached;
    if (m_stopped || m_asked.contains(id))
        return std::nullopt;
    m_asked.insert(id);
    m_queued.append(id);
    if (m_queued.size() == 1)
        QMetaObject::invokeMethod(this, &SearchTextCache::readAsked, Qt::QueuedConnection);
    return std::nullopt;
}

void SearchTextCache::remember(const QUuid& id, const QString& text)
{
    // The cache owns what it is given.
    m_texts.insert(id, new QString(text), std::max<qsizetype>(text.size(), 1));
}

void SearchTextCache::readAsked()
{
    if (m_stopped || m_queued.isEmpty())
        return;
    QList<QUuid> ids = std::exchange(m_queued, {});
    QtConcurrent::run(&m_reader, m_storage.searchTextsLoad(ids))
        .then(this, [this, ids](const QHash<QUuid, QString>& texts) {
            for (const QUuid& id : ids) {
                m_asked.remove(id);
                // A failed read shows an empty text, as a failed fetch does everywhere.
                remember(id, texts.value(id));
            }
            Q_EMIT ready(ids);
        });
}

void SearchTextCache::stop()
{
    m_stopped = true;
    m_reader.clear();
    m_reader.waitForDone();
}

} // namespace nabrix
