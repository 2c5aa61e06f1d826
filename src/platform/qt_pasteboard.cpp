// The CLIPBOARD selection through QClipboard, with a change counter.
#include "platform/qt_pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace nabrix {

QtPasteboard::QtPasteboard(QObject* parent)
    : Pasteboard(parent)
    , m_clipboard(QGuiApplication::clipboard())
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
    return data->text();
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
