// Polls the clipboard's change counter and reads each change into a snapshot.
#include "capture/clipboard_observer.h"

#include "capture/file_list.h"
#include "capture/rtf_reader.h"
#include "capture/text_limits.h"
#include "platform/pasteboard.h"
#include "platform/workspace.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <algorithm>

namespace nabrix {

namespace {

std::optional<PasteboardContent> captureFiles(const Pasteboard& pasteboard)
{
    const auto urls = pasteboard.readFileUrls();
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

std::optional<PasteboardContent> captureTiff(const Pasteboard& pasteboard)
{
    const auto tiff = pasteboard.dataForType(PasteboardType::tiff);
    if (!tiff)
        return std::nullopt;
    auto png = ClipboardObserver::pngData(*tiff);
    if (!png)
        return std::nullopt;
    return imageContent(std::move(*png), std::nullopt);
}

std::optional<PasteboardContent> capturePng(const Pasteboard& pasteboard)
{
    auto png = pasteboard.dataForType(PasteboardType::png);
    if (!png)
        return std::nullopt;
    return imageContent(std::move(*png), std::nullopt);
}

std::optional<PasteboardContent> captureRtf(const Pasteboard& pasteboard, const QStringList& types)
{
    for (const QString& type : {PasteboardType::rtf, PasteboardType::rtfAlternative}) {
        if (!types.contains(type))
            continue;
        auto rtf = pasteboard.dataForType(type);
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

std::optional<PasteboardContent> captureText(const Pasteboard& pasteboard)
{
    const auto text = pasteboard.stringForType(PasteboardType::string);
    if (!text)
        return std::nullopt;
    PasteboardContent content;
    content.type = ClipType::Text;
    content.contentData = text->toUtf8();
    content.searchString = firstCharacters(*text);
    return content;
}

std::optional<PasteboardContent> captureContent(const Pasteboard& pasteboard,
                                                const QStringList& types)
{
    std::optional<PasteboardContent> content;
    if (types.contains(PasteboardType::fileUrl))
        content = captureFiles(pasteboard);
    if (!content && types.contains(PasteboardType::tiff))
        content = captureTiff(pasteboard);
    if (!content && types.contains(PasteboardType::png))
        content = capturePng(pasteboard);
    if (!content)
        content = captureRtf(pasteboard, types);
    if (!content && types.contains(PasteboardType::string))
        content = captureText(pasteboard);
    return content;
}

} // namespace

ClipboardObserver::ClipboardObserver(Pasteboard& pasteboard, Workspace& workspace, QObject* parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_workspace(workspace)
    , m_lastChangeCount(pasteboard.changeCount())
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ClipboardObserver::poll);
    connect(&m_pasteboard, &Pasteboard::changeNotified, this, &ClipboardObserver::sampleSource);
}

void ClipboardObserver::start(std::chrono::milliseconds interval)
{
    if (m_timer.isActive())
        return;
    m_lastChangeCount = m_pasteboard.changeCount();
    m_timer.start(interval);
}

void ClipboardObserver::stop()
{
    m_timer.stop();
}

void ClipboardObserver::sampleSource()
{
    // The application in front when the copy happened, not when the next tick reads it:
    // the user may have switched away from a password manager in between.
    m_sourceSample = SourceSample{m_pasteboard.changeCount(), m_workspace.frontmostApplicationId()};
}

std::optional<QString> ClipboardObserver::sourceForCurrentChange() const
{
    if (m_sourceSample && m_sourceSample->changeCount == m_pasteboard.changeCount())
        return m_sourceSample->applicationId;
    return m_workspace.frontmostApplicationId();
}

void ClipboardObserver::poll()
{
    const qint64 count = m_pasteboard.changeCount();
    if (count == m_lastChangeCount)
        return;
    // Recorded before reading, so a change that cannot be captured is not retried.
    m_lastChangeCount = count;
    auto content = capture(m_pasteboard);
    if (!content)
        return;
    content->sourceAppBundleID = sourceForCurrentChange();
    if (m_onChange)
        m_onChange(*content);
}

std::optional<PasteboardContent> ClipboardObserver::capture(const Pasteboard& pasteboard)
{
    const QStringList types = pasteboard.types();
    auto content = captureContent(pasteboard, types);
    if (!content)
        return std::nullopt;
    if (types.contains(PasteboardType::passwordManagerHint)) {
        const auto hint = pasteboard.dataForType(PasteboardType::passwordManagerHint);
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
