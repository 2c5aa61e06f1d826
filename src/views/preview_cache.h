// SPDX-License-Identifier: GPL-3.0-or-later
// Rich-text previews and image thumbnails of history rows, built off the main thread.
#pragma once

#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QThreadPool>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>

class QTextDocument;

namespace nabrix {

// Rows ask on every paint. The first ask starts reading the entry's bytes and decoding them
// on a worker; previewReady() announces the result. Both caches are bounded, so a long
// scroll does not keep every preview alive.
// Destroying the cache drops the decodes not yet begun and waits for the others.
class PreviewCache : public QObject {
    Q_OBJECT
public:
    using Load = std::function<std::optional<QByteArray>()>;
    // Called on the main thread; the load it returns runs on a worker.
    using ContentLoader = std::function<Load(const QUuid&)>;
    enum class State { Pending, Ready, Unreadable };

    struct RtfPreview {
        State state = State::Pending;
        // Owned by the cache; valid until the next call.
        const QTextDocument* document = nullptr;
    };
    struct Thumbnail {
        State state = State::Pending;
        QImage image;
    };

    explicit PreviewCache(ContentLoader loader, QObject* parent = nullptr);
    ~PreviewCache() override;

    // The entry's RTF as styled text in the row font's size.
    RtfPreview rtfPreview(const QUuid& id);
    // The entry's image scaled to fit `pixelSize` (never enlarged). Unreadable also stands
    // for an image too large to decode for display.
    Thumbnail thumbnail(const QUuid& id, const QSize& pixelSize);

Q_SIGNALS:
    void previewReady(const QUuid& id);

private:
    struct RtfEntry;
    struct ThumbnailEntry {
        QImage image;
    };

    ContentLoader m_loader;
    QCache<QUuid, RtfEntry> m_rtf;
    QCache<QString, ThumbnailEntry> m_thumbnails;
    QSet<QString> m_pending;
    // Last, so that it is waited for before anything else goes.
    QThreadPool m_workers;
};

} // namespace nabrix
