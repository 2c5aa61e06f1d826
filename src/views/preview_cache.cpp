// SPDX-License-Identifier: GPL-3.0-or-later
// Worker-built previews handed back to the main thread.
#include "views/preview_cache.h"

#include "capture/rtf_reader.h"
#include "storage/clip_item.h"
#include "views/fitted_image_decoder.h"
#include "views/styled_text.h"

#include <QCoreApplication>
#include <QFuture>
#include <QTextDocument>
#include <QThread>
#include <QtConcurrent>

namespace nabrix {

namespace {

constexpr int rtfDocuments = 64;
// Thumbnail cost is counted in KiB.
constexpr int thumbnailKiB = 48 * 1024;

QString thumbnailKey(const QUuid& id, const QSize& size)
{
    return QStringLiteral("%1@%2x%3").arg(idText(id)).arg(size.width()).arg(size.height());
}

QString rtfKey(const QUuid& id)
{
    return QStringLiteral("rtf:") + idText(id);
}

// Runs on a worker: the document is moved to the main thread before it is handed over.
std::shared_ptr<QTextDocument> buildRtfPreview(const QByteArray& bytes, QThread* mainThread)
{
    std::unique_ptr<QTextDocument> document = rtfStyledDocument(bytes);
    if (!document || document->isEmpty())
        return nullptr;
    dropFontSizes(*document);
    adaptForDarkBackground(*document);
    document->moveToThread(mainThread);
    return std::shared_ptr<QTextDocument>(document.release());
}

} // namespace

struct PreviewCache::RtfEntry {
    std::shared_ptr<QTextDocument> document; // null: not readable as RTF
};

PreviewCache::PreviewCache(ContentLoader loader, QObject* parent)
    : QObject(parent)
    , m_loader(std::move(loader))
    , m_rtf(rtfDocuments)
    , m_thumbnails(thumbnailKiB)
{
}

PreviewCache::~PreviewCache()
{
    m_workers.clear();
    m_workers.waitForDone();
}

PreviewCache::RtfPreview PreviewCache::rtfPreview(const QUuid& id)
{
    if (const RtfEntry* entry = m_rtf.object(id)) {
        if (!entry->document)
            return {State::Unreadable, nullptr};
        return {State::Ready, entry->document.get()};
    }
    const QString key = rtfKey(id);
    if (m_pending.contains(key))
        return {};
    m_pending.insert(key);
    QThread* mainThread = thread();
    QtConcurrent::run(&m_workers,
                      [load = m_loader(id), mainThread]() -> std::shared_ptr<QTextDocument> {
                          const std::optional<QByteArray> bytes = load();
                          return bytes ? buildRtfPreview(*bytes, mainThread) : nullptr;
                      })
        .then(this, [this, id, key](std::shared_ptr<QTextDocument> document) {
            m_pending.remove(key);
            m_rtf.insert(id, new RtfEntry{std::move(document)});
            Q_EMIT previewReady(id);
        });
    return {};
}

PreviewCache::Thumbnail PreviewCache::thumbnail(const QUuid& id, const QSize& pixelSize)
{
    const QString key = thumbnailKey(id, pixelSize);
    if (const ThumbnailEntry* entry = m_thumbnails.object(key)) {
        if (entry->image.isNull())
            return {State::Unreadable, {}};
        return {State::Ready, entry->image};
    }
    if (m_pending.contains(key))
        return {};
    m_pending.insert(key);
    QtConcurrent::run(&m_workers, [load = m_loader(id), pixelSize] {
        const std::optional<QByteArray> bytes = load();
        return bytes ? FittedImageDecoder::decode(*bytes, pixelSize) : QImage();
    }).then(this, [this, id, key](QImage image) {
        m_pending.remove(key);
        const qsizetype cost = std::max<qsizetype>(1, image.sizeInBytes() / 1024);
        m_thumbnails.insert(key, new ThumbnailEntry{std::move(image)}, cost);
        Q_EMIT previewReady(id);
    });
    return {};
}

} // namespace nabrix
