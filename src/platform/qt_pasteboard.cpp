// SPDX-License-Identifier: GPL-3.0-or-later
// The CLIPBOARD selection through QClipboard, with a change counter.
#include "platform/qt_pasteboard.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>

namespace nabrix {

namespace {

// Qt's xcb clipboard gives up on an owner after 5 s; a read that took this long failed so.
constexpr qint64 slowReadMs = 4000;

} // namespace

QtPasteboard::QtPasteboard(ClipboardReaderFactory workerReaders, QObject* parent)
    : Pasteboard(parent)
    , m_clipboard(QGuiApplication::clipboard())
    , m_workerReaders(std::move(workerReaders))
{
    // Qt tells us about every change of the CLIPBOARD selection, ours included (our own
    // setMimeData emits synchronously), so the counter moves exactly once per change.
    connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode != QClipboard::Clipboard)
            return;
        ++m_changeCount;
        Q_EMIT changeNotified();
    });
}

std::unique_ptr<ClipboardSource> QtPasteboard::readerForWorker(ClipboardReadBounds bounds) const
{
    return m_workerReaders ? m_workerReaders(std::move(bounds)) : nullptr;
}

const QMimeData* QtPasteboard::currentMimeData() const
{
    return m_clipboard->mimeData(QClipboard::Clipboard);
}

QStringList QtPasteboard::types() const
{
    const QMimeData* data = currentMimeData();
    if (data == nullptr)
        return {};
    QStringList formats = data->formats();
    formats.removeAll(QStringLiteral("TARGETS"));
    return formats;
}

std::optional<QByteArray> QtPasteboard::dataForType(const QString& type) const
{
    const QMimeData* data = currentMimeData();
    if (data == nullptr || !data->hasFormat(type))
        return std::nullopt;
    QByteArray bytes = data->data(type);
    if (bytes.isNull())
        return std::nullopt;
    return bytes;
}

std::optional<QString> QtPasteboard::stringForType(const QString& type) const
{
    const QMimeData* data = currentMimeData();
    if (data == nullptr || type != PasteboardType::string || !data->hasText())
        return std::nullopt;
    // QMimeData::text() turns a read that failed (an owner that never answered, or that
    // vanished mid-transfer) into an empty text; the bytes tell the two apart: Qt gives
    // null bytes for a failed read and empty ones for an empty text. Same formats, same
    // order as text().
    QElapsedTimer timer;
    timer.start();
    for (const QString& format :
         {QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("text/plain")}) {
        if (!data->hasFormat(format))
            continue;
        const QByteArray bytes = data->data(format);
        if (!bytes.isNull())
            return QString::fromUtf8(bytes);
        // A refusal is quick; an owner that made Qt wait out its 5 s timeout would only
        // stall the program another 5 s for the second format.
        if (timer.elapsed() >= slowReadMs)
            break;
    }
    return std::nullopt;
}

std::optional<QList<QUrl>> QtPasteboard::readFileUrls() const
{
    const QMimeData* data = currentMimeData();
    if (data == nullptr || !data->hasUrls())
        return std::nullopt;
    return data->urls();
}

void QtPasteboard::setMimeData(QMimeData* data)
{
    m_clipboard->setMimeData(data, QClipboard::Clipboard);
}

void QtPasteboard::clearContents()
{
    m_clipboard->clear(QClipboard::Clipboard);
}

void QtPasteboard::writeString(const QString& text)
{
    auto* data = new QMimeData; // the clipboard takes ownership
    data->setText(text);
    setMimeData(data);
}

void QtPasteboard::writeData(const QString& type, const QByteArray& bytes,
                             const std::optional<QString>& text)
{
    auto* data = new QMimeData;
    data->setData(type, bytes);
    if (text)
        data->setText(*text);
    setMimeData(data);
}

void QtPasteboard::writeFileUrls(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    setMimeData(data);
}

} // namespace nabrix
