// SPDX-License-Identifier: GPL-3.0-or-later
// Reads each clipboard change into a snapshot, as the platform announces it or by polling.
#include "capture/clipboard_observer.h"

#include "capture/content_limits.h"
#include "capture/file_list.h"
#include "capture/rtf_reader.h"
#include "capture/text_limits.h"
#include "platform/pasteboard.h"
#include "platform/workspace.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace nabrix {

namespace {

std::optional<PasteboardContent> captureFiles(const ClipboardSource& clipboard)
{
    const auto urls = clipboard.readFileUrls();
    // Only local files make a file entry; a list of web links is left to the text branch.
    // A line of the URL list that does not parse ("file://(tmp/x") still names the file
    // scheme, but it has no encoded form: it would be stored as "" and the file lost.
    if (!urls || urls->isEmpty() || !std::all_of(urls->cbegin(), urls->cend(), [](const QUrl& url) {
            return url.isValid() && url.isLocalFile();
        }))
        return std::nullopt;
    PasteboardContent content;
    content.type = ClipType::File;
    content.contentData = encodeFileList(*urls);
    content.searchString = fileListSearchString(*urls);
    return content;
}

std::optional<QSize> pngSize(const QByteArray& png)
{
    QBuffer buffer;
    buffer.setData(png);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    return size.isValid() ? std::optional<QSize>(size) : std::nullopt;
}

PasteboardContent imageContent(QByteArray png, std::optional<QSize> size)
{
    PasteboardContent content;
    content.type = ClipType::Image;
    content.imageSize = size ? size : pngSize(png);
    content.contentData = std::move(png);
    return content;
}

std::optional<PasteboardContent> captureTiff(const ClipboardSource& clipboard)
{
    const auto tiff = clipboard.dataForType(PasteboardType::tiff);
    if (!tiff)
        return std::nullopt;
    auto png = ClipboardObserver::pngData(*tiff);
    if (!png)
        return std::nullopt;
    return imageContent(std::move(*png), std::nullopt);
}

std::optional<PasteboardContent> capturePng(const ClipboardSource& clipboard)
{
    auto png = clipboard.dataForType(PasteboardType::png);
    if (!png)
        return std::nullopt;
    return imageContent(std::move(*png), std::nullopt);
}

std::optional<PasteboardContent> captureRtf(const ClipboardSource& clipboard,
                                            const QStringList& types)
{
    for (const QString& type : {PasteboardType::rtf, PasteboardType::rtfAlternative}) {
        if (!types.contains(type))
            continue;
        auto rtf = clipboard.dataForType(type);
        if (!rtf)
            continue;
        PasteboardContent content;
        content.type = ClipType::Rtf;
        content.searchString = firstCharacters(rtfPlainText(*rtf));
        content.contentData = std::move(*rtf);
        return content;
    }
    return std::nullopt;
}

std::optional<PasteboardContent> captureText(const ClipboardSource& clipboard)
{
    const auto text = clipboard.stringForType(PasteboardType::string);
    if (!text)
        return std::nullopt;
    PasteboardContent content;
    content.type = ClipType::Text;
    content.contentData = text->toUtf8();
    content.searchString = firstCharacters(*text);
    return content;
}

std::optional<PasteboardContent> captureContent(const ClipboardSource& clipboard,
                                                const QStringList& types)
{
    std::optional<PasteboardContent> content;
    if (types.contains(PasteboardType::fileUrl))
        content = captureFiles(clipboard);
    if (!content && types.contains(PasteboardType::tiff))
        content = captureTiff(clipboard);
    if (!content && types.contains(PasteboardType::png))
        content = capturePng(clipboard);
    if (!content)
        content = captureRtf(clipboard, types);
    if (!content && types.contains(PasteboardType::string))
        content = captureText(clipboard);
    return content;
}

} // namespace

ClipboardObserver::ClipboardObserver(Pasteboard& pasteboard, Workspace& workspace, QObject* parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_workspace(workspace)
    , m_lastChangeCount(pasteboard.changeCount())
{
    m_pollTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pollTimer, &QTimer::timeout, this, &ClipboardObserver::poll);
    m_coalescing.setTimerType(Qt::PreciseTimer);
    m_coalescing.setSingleShot(true);
    m_coalescing.setInterval(coalescingWindow);
    connect(&m_coalescing, &QTimer::timeout, this, &ClipboardObserver::poll);
    connect(&m_pasteboard, &Pasteboard::changeNotified, this, &ClipboardObserver::changeAnnounced);
    m_readers.setMaxThreadCount(1);
    connect(&m_readWatcher, &QFutureWatcherBase::finished, this, &ClipboardObserver::readFinished);
}

ClipboardObserver::~ClipboardObserver()
{
    // The pool waits for its worker; a stopped read ends within moments.
    if (m_read)
        m_read->stop.request_stop();
}

void ClipboardObserver::start(std::chrono::milliseconds pollInterval)
{
    if (m_running)
        return;
    m_running = true;
    m_lastChangeCount = m_pasteboard.changeCount();
    if (!m_pasteboard.notifiesEveryChange())
        m_pollTimer.start(pollInterval);
}

void ClipboardObserver::stop()
{
    m_running = false;
    m_pollTimer.stop();
    m_coalescing.stop();
    // Nothing read after stopping is delivered.
    if (m_read) {
        m_read->stop.request_stop();
        m_read->changeCount = -1;
    }
}

bool ClipboardObserver::readsOnAnnouncement() const
{
    return m_running && m_pasteboard.notifiesEveryChange();
}

void ClipboardObserver::changeAnnounced()
{
    sampleSource();
    // The window is not restarted by later changes: a steady stream of them must not
    // postpone the read indefinitely.
    if (readsOnAnnouncement() && !m_coalescing.isActive())
        m_coalescing.start();
}

void ClipboardObserver::sampleSource()
{
    // The application in front when the copy happened, not when the change is read:
    // the user may have switched away from a password manager in between.
    m_sourceSample = SourceSample{m_pasteboard.changeCount(), m_workspace.frontmostApplicationId()};
    stopStaleRead();
}

void ClipboardObserver::stopStaleRead()
{
    // The owner being read has been replaced: whatever it still sends would be dropped.
    if (m_read && m_read->changeCount != m_pasteboard.changeCount())
        m_read->stop.request_stop();
}

std::optional<QString> ClipboardObserver::sourceForCurrentChange() const
{
    if (m_sourceSample && m_sourceSample->changeCount == m_pasteboard.changeCount())
        return m_sourceSample->applicationId;
    return m_workspace.frontmostApplicationId();
}

void ClipboardObserver::poll()
{
    stopStaleRead();
    const qint64 count = m_pasteboard.changeCount();
    if (count == m_lastChangeCount || m_read)
        return;
    // Recorded before reading, so a change that cannot be captured is not retried.
    m_lastChangeCount = count;
    std::optional<QString> source = sourceForCurrentChange();
    std::stop_source stop;
    auto reader = m_pasteboard.readerForWorker({maxStoredContentBytes, stop.get_token()});
    if (!reader) {
        deliver(capture(m_pasteboard), std::move(source));
        return;
    }
    m_read = Read{count, std::move(source), std::move(stop)};
    m_readWatcher.setFuture(
        QtConcurrent::run(&m_readers, [reader = std::move(reader)] { return capture(*reader); }));
}

void ClipboardObserver::readFinished()
{
    if (!m_read)
        return;
    Read read = std::move(*m_read);
    m_read.reset();
    if (read.changeCount != m_pasteboard.changeCount()) {
        // A newer change (or our own write) replaced the one read. Announced, it is read now
        // unless its window is still open; polled, the next tick reads it.
        if (readsOnAnnouncement() && !m_coalescing.isActive())
            poll();
        return;
    }
    deliver(m_readWatcher.result(), std::move(read.source));
}

void ClipboardObserver::deliver(std::optional<PasteboardContent> content,
                                std::optional<QString> source)
{
    if (!content)
        return;
    content->sourceAppBundleID = std::move(source);
    if (m_onChange)
        m_onChange(*content);
}

std::optional<PasteboardContent> ClipboardObserver::capture(const ClipboardSource& clipboard)
{
    const QStringList types = clipboard.types();
    auto content = captureContent(clipboard, types);
    if (!content)
        return std::nullopt;
    if (types.contains(PasteboardType::passwordManagerHint)) {
        const auto hint = clipboard.dataForType(PasteboardType::passwordManagerHint);
        content->markedSecret = hint && hint->trimmed() == "secret";
    }
    return content;
}

std::optional<QByteArray> ClipboardObserver::pngData(const QByteArray& bytes)
{
    const QImage image = QImage::fromData(bytes);
    if (image.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Qt's default PNG compression takes a second or more for a detailed screenshot on the
    // main thread; a middle level gives files within a few per cent in a third of the time.
    constexpr int pngQuality = 50;
    if (!image.save(&buffer, "PNG", pngQuality))
        return std::nullopt;
    return png;
}

} // namespace nabrix
